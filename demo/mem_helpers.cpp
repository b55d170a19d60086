#include "demo/mem_helpers.h"

#include <cstdlib>
#include <cstring>

void* AllocZeroed(int32_t size) {
  if (size <= 0) return nullptr;
  return std::calloc(static_cast<size_t>(size), 1);
}

void FreeAndClear(void*& block) {
  if (block == nullptr) return;
  std::free(block);
  block = nullptr;
}

bool SameBytes(const void* a, const void* b, int32_t count) {
  if (count <= 0) return true;
  return std::memcmp(a, b, static_cast<size_t>(count)) == 0;
}

void CopyBytes(void* dest, const void* source, int32_t count) {
  if (count > 0) std::memmove(dest, source, static_cast<size_t>(count));
}

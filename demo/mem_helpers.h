#pragma once
// Memory helpers of the demo's picture units: zero-filled blocks for large pixel buffers,
// byte comparison, pointer offsets and overlapping copies.

#include <cstdint>

// A zero-filled block of size bytes, or nullptr for a size of 0 or less or when there is no
// memory. Freed with FreeAndClear.
void* AllocZeroed(int32_t size);
// Frees a block of AllocZeroed and clears the pointer; a cleared pointer is left alone.
void FreeAndClear(void*& block);
// True when the first count bytes are equal; a count of 0 or less gives True.
bool SameBytes(const void* a, const void* b, int32_t count);
// The address offset bytes further (negative offsets go back).
inline void* OffsetPointer(void* p, int32_t offset) { return static_cast<uint8_t*>(p) + offset; }
inline const void* OffsetPointer(const void* p, int32_t offset) { return static_cast<const uint8_t*>(p) + offset; }
// Copies count bytes; overlapping areas are handled as a move. A count of 0 or less copies nothing.
void CopyBytes(void* dest, const void* source, int32_t count);

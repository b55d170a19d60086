#include "kit/win/one_line_edit.h"

#include <cstring>

#include "platform/wcl/win/form.h"

namespace {

// The clipboard, open for as long as the object lives.
class ClipboardLock {
public:
  explicit ClipboardLock(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
  ~ClipboardLock() {
    if (open_) CloseClipboard();
  }
  ClipboardLock(const ClipboardLock&) = delete;
  ClipboardLock& operator=(const ClipboardLock&) = delete;
  explicit operator bool() const { return open_; }

private:
  bool open_;
};

// A global memory block, locked for as long as the object lives.
class GlobalLockScope {
public:
  explicit GlobalLockScope(HGLOBAL block) : block_(block), data_(block ? GlobalLock(block) : nullptr) {}
  ~GlobalLockScope() {
    if (data_ != nullptr) GlobalUnlock(block_);
  }
  GlobalLockScope(const GlobalLockScope&) = delete;
  GlobalLockScope& operator=(const GlobalLockScope&) = delete;
  const char* data() const { return static_cast<const char*>(data_); }

private:
  HGLOBAL block_;
  void* data_;
};

}  // namespace

std::string FirstLineOf(const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); }

bool ClipboardFirstLine(HWND owner, std::string& text) {
  ClipboardLock clipboard(owner);
  if (!clipboard) return false;
  HGLOBAL block = GetClipboardData(CF_TEXT);
  if (block == nullptr) return false;
  GlobalLockScope lock(block);
  if (lock.data() == nullptr) return false;
  // Another program wrote the block: never read past its end, terminated or not.
  const size_t size = GlobalSize(block);
  const void* end = std::memchr(lock.data(), '\0', size);
  const size_t length = end ? static_cast<size_t>(static_cast<const char*>(end) - lock.data()) : size;
  text = FirstLineOf(std::string(lock.data(), length));
  return true;
}

void ReplaceEditSelection(HWND edit, const std::string& text) {
  SendMessageA(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

DWORD OneLineEditStyle(TAlignment alignment) {
  static const DWORD kAlignStyle[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  return ES_MULTILINE | WS_CLIPCHILDREN | kAlignStyle[alignment];
}

void ForwardDialogChar(TWinControl* edit, char key) {
  if (TCustomForm* form = GetParentForm(edit)) form->DialogKey(key == '\r' ? VK_RETURN : VK_ESCAPE, 0);
}

#include "platform/wcl/win/built_in_texts.h"

#include <mutex>

#include "platform/rtl/language_texts.h"
#include <set>
#include <vector>

namespace {

constexpr UINT kBuiltInCodePage = 1251;

struct Registry {
  std::mutex lock;
  std::set<std::string> texts;
  std::vector<std::string> formatHeads;
};

Registry& Texts() {
  static Registry registry;
  return registry;
}

// A window whose caption is a built-in text answers the text messages itself, in UTF-16:
// the system asks for the caption with them to draw the title bar, and through the
// window's ANSI procedure the text would pass the ANSI code page and lose what it cannot
// hold. Every other message goes on to that procedure.
const wchar_t kAnsiProcProperty[] = L"HlAnsiWindowProc";

LRESULT CALLBACK WideTextProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  const auto previous = reinterpret_cast<WNDPROC>(GetPropW(window, kAnsiProcProperty));
  switch (msg) {
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcW(window, msg, wParam, lParam);
      // The system drew its own title bar with the text: the frame is painted again through
      // the window's procedures, so that what draws over that caption (a gradient caption)
      // does so again.
      RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
      return result;
    }
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
      return DefWindowProcW(window, msg, wParam, lParam);
    case WM_NCDESTROY:
      RemovePropW(window, kAnsiProcProperty);
      if (previous != nullptr) SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
      break;
    default:
      break;
  }
  return previous != nullptr ? CallWindowProcW(previous, window, msg, wParam, lParam)
                             : DefWindowProcW(window, msg, wParam, lParam);
}

}  // namespace

void RegisterBuiltInText(const std::string& text) {
  Registry& registry = Texts();
  std::lock_guard<std::mutex> guard(registry.lock);
  registry.texts.insert(text);
  for (size_t start = 0;;) {
    const size_t bar = text.find('|', start);
    const std::string part = text.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
    if (!part.empty()) registry.texts.insert(part);
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  const size_t percent = text.find('%');
  if (percent != std::string::npos && percent > 0) registry.formatHeads.push_back(text.substr(0, percent));
}

bool IsBuiltInText(const std::string& text) {
  if (text.empty()) return false;
  Registry& registry = Texts();
  std::lock_guard<std::mutex> guard(registry.lock);
  if (registry.texts.count(text) != 0) return true;
  for (const std::string& head : registry.formatHeads)
    if (text.compare(0, head.size(), head) == 0) return true;
  return false;
}

std::wstring WideFromCodePage(const std::string& text, UINT codePage) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (length <= 0) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string WideToCodePage(const std::wstring& text, UINT codePage) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  const int length = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::string();
  std::string bytes(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), size, bytes.data(), length, nullptr, nullptr);
  return bytes;
}

UINT ShownCodePage(const std::string& text) {
  UINT codePage = IsBuiltInText(text) ? kBuiltInCodePage : LanguageTextCodePage(text);
  return codePage == GetACP() ? CP_ACP : codePage;
}

std::wstring ShownText(const std::string& text) { return WideFromCodePage(text, ShownCodePage(text)); }

void ShowCaption(HWND window, const std::string& text) {
  if (!HasOwnCodePage(text) && GetPropW(window, kAnsiProcProperty) == nullptr) {
    SetWindowTextA(window, text.c_str());
    return;
  }
  if (GetPropW(window, kAnsiProcProperty) == nullptr) {
    const LONG_PTR previous = SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WideTextProc));
    SetPropW(window, kAnsiProcProperty, reinterpret_cast<HANDLE>(previous));
  }
  SetWindowTextW(window, ShownText(text).c_str());
}

#include "demo/win/demo_helpers.h"

#include <cstring>
#include <memory>
#include <string>

#include "demo/demo_texts.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/wcl/win/application.h"
#include "platform/wcl/win/bitmap.h"
#include "platform/wcl/win/built_in_texts.h"
#include "platform/wcl/win/edges.h"
#include "platform/wcl/win/graphic_formats.h"
#include "platform/wcl/win/screen.h"

namespace {

// Shown in code page 1251 whatever the system's code page.
const TBuiltInTexts kBuiltInTexts{SNotImplemented};

// Registered at start-up; the picture framework learns that icons read and write it.
const UINT iconClipboardFormat = [] {
  const UINT format = RegisterClipboardFormatA("Hourlark Icon");
  RegisterGraphicClipboardFormat(format, "TIcon", [] { return std::unique_ptr<TGraphic>(std::make_unique<TIcon>()); });
  return format;
}();

}  // namespace

UINT IconClipboardFormat() { return iconClipboardFormat; }

void SaveIconToClipboard(TIcon* icon) {
  TMemoryStream stream;
  icon->SaveToStream(stream);
  if (stream.Size() == 0) return;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(stream.Size()));
  if (block == nullptr) throw EOutOfResources("Out of memory");
  void* p = GlobalLock(block);
  if (p != nullptr) std::memcpy(p, stream.Memory(), static_cast<size_t>(stream.Size()));
  GlobalUnlock(block);
  if (p == nullptr || SetClipboardData(IconClipboardFormat(), block) == nullptr) {
    GlobalFree(block);
    throw EOutOfResources("Cannot put the icon on the clipboard");
  }
}

bool LoadIconFromClipboard(TIcon* icon) {
  HANDLE block = GetClipboardData(IconClipboardFormat());
  if (block == nullptr) return false;
  TMemoryStream stream;
  {
    const GlobalLockScope<const void> lock(block);
    if (lock.get() == nullptr) return false;
    stream.WriteBuffer(lock.get(), static_cast<int64_t>(GlobalSize(block)));
  }
  stream.SetPosition(0);
  icon->LoadFromStream(stream);
  return true;
}

void ShowNotImplemented() {
  if (Screen != nullptr) Screen->SetCursor(crDefault);
  // Like every message box of the program, it has the program's title as its caption.
  const std::string caption = Application != nullptr ? Application->BoxCaption() : std::string();
  EdgeMessageBox(SNotImplemented, caption, MB_OK | MB_ICONINFORMATION | MB_TASKMODAL);
  throw EAbort("");
}

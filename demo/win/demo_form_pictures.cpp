#include "demo/win/demo_form_pictures.h"

#include "demo/win/demo_form_pictures_data.inc"
#include "demo/win/gif_image.h"
#include "platform/rtl/streams.h"
#include "platform/wcl/win/bitmap.h"

// The pictures go into the program's resource section from here rather than from a
// resource script: a compiled script defines no symbol, so the linker would leave it out of
// a program that takes the demo's window from its library. This object is linked with
// LoadDemoPicture, and the linker merges its resources with the program's own.
asm(HL_DEMO_PICTURES_RSRC);

void LoadDemoPicture(TBitmap* bitmap, const char* name) {
  bitmap->LoadFromResourceName(GetModuleHandleA(nullptr), name);
}

void LoadDemoAnimation(TGIFImage* image) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC found = FindResourceA(module, "DEMO_ALARM_GIF", MAKEINTRESOURCEA(10));
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) throw EResNotFound("Resource DEMO_ALARM_GIF not found");
  TMemoryStream stream;
  stream.WriteBuffer(data, SizeofResource(module, found));
  stream.SetPosition(0);
  image->ReadData(stream);
}

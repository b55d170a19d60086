#include "app/win/app_pictures.h"

#include "app/win/app_pictures_data.inc"
#include "platform/wcl/win/bitmap.h"

// The pictures go into the program's resource section from here rather than from a
// resource script: a compiled script defines no symbol, so the linker would leave it out
// of a program that takes the tracker's windows from their library. This object is linked
// with LoadAppPicture, and the linker merges its resources with the program's own.
asm(HL_APP_PICTURES_RSRC);

void LoadAppPicture(TBitmap* bitmap, const char* name) {
  bitmap->LoadFromResourceName(GetModuleHandleA(nullptr), name);
}

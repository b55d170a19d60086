#include "kit/win/cursors.h"

#include "kit/win/kit_cursor_images.h"

// The cursors' resources, placed in the program's resource section from here rather than
// from a resource script: a compiled script defines no symbol, so the linker would leave it
// out of any program that takes the kit from its library. This object is linked whenever
// RegisterKitCursors is, and the linker merges its resources with the program's own.
//
// Layout (a resource directory tree): types RT_CURSOR (1) and RT_GROUP_CURSOR (12); the
// images under the numbers 14000 and 14001, the groups under their names (sorted); one
// language (US English, as the resource compiler uses) each; then the data entries, the
// names, and the data. A group holds one 32 x 32 two-colour image.
#define HL_KIT_DIR(named, ids) "\t.long 0,0\n\t.short 0,0\n\t.short " #named "," #ids "\n"
#define HL_KIT_SUBDIR(id, label) "\t.long " id ", (" label " - hl_kitcur_root) + 0x80000000\n"
#define HL_KIT_LEAF(label) "\t.long 0x409, (" label " - hl_kitcur_root)\n"
#define HL_KIT_GROUP(imageId)                                               \
  "\t.short 0,2,1\n"                                                       \
  "\t.short 32,64,1,1\n"                                                   \
  "\t.long " HL_KIT_STR(HL_KIT_CURSOR_DATA_SIZE) "\n"                      \
  "\t.short " imageId "\n"
#define HL_KIT_STR2(x) #x
#define HL_KIT_STR(x) HL_KIT_STR2(x)

asm("\t.section .rsrc,\"dr\"\n"
    "\t.p2align 2\n"
    "hl_kitcur_root:\n" HL_KIT_DIR(0, 2)
    HL_KIT_SUBDIR("1", "hl_kitcur_images")
    HL_KIT_SUBDIR("12", "hl_kitcur_groups")
    "hl_kitcur_images:\n" HL_KIT_DIR(0, 2)
    HL_KIT_SUBDIR("14000", "hl_kitcur_lang_hand")
    HL_KIT_SUBDIR("14001", "hl_kitcur_lang_drag")
    "hl_kitcur_groups:\n" HL_KIT_DIR(2, 0)
    HL_KIT_SUBDIR("(hl_kitcur_name_drag - hl_kitcur_root) + 0x80000000", "hl_kitcur_lang_group_drag")
    HL_KIT_SUBDIR("(hl_kitcur_name_hand - hl_kitcur_root) + 0x80000000", "hl_kitcur_lang_group_hand")
    "hl_kitcur_lang_hand:\n" HL_KIT_DIR(0, 1) HL_KIT_LEAF("hl_kitcur_entry_hand")
    "hl_kitcur_lang_drag:\n" HL_KIT_DIR(0, 1) HL_KIT_LEAF("hl_kitcur_entry_drag")
    "hl_kitcur_lang_group_drag:\n" HL_KIT_DIR(0, 1) HL_KIT_LEAF("hl_kitcur_entry_group_drag")
    "hl_kitcur_lang_group_hand:\n" HL_KIT_DIR(0, 1) HL_KIT_LEAF("hl_kitcur_entry_group_hand")
    "hl_kitcur_entry_hand:\n\t.rva hl_kitcur_data_hand\n\t.long " HL_KIT_STR(HL_KIT_CURSOR_DATA_SIZE) ",0,0\n"
    "hl_kitcur_entry_drag:\n\t.rva hl_kitcur_data_drag\n\t.long " HL_KIT_STR(HL_KIT_CURSOR_DATA_SIZE) ",0,0\n"
    "hl_kitcur_entry_group_drag:\n\t.rva hl_kitcur_group_drag\n\t.long 20,0,0\n"
    "hl_kitcur_entry_group_hand:\n\t.rva hl_kitcur_group_hand\n\t.long 20,0,0\n"
    "hl_kitcur_name_drag:\n\t.short 11\n\t.short 'K','I','T','_','D','R','A','G','C','U','R'\n"
    "hl_kitcur_name_hand:\n\t.short 11\n\t.short 'K','I','T','_','H','A','N','D','C','U','R'\n"
    "\t.p2align 3\n"
    "hl_kitcur_group_hand:\n" HL_KIT_GROUP("14000")
    "\t.p2align 3\n"
    "hl_kitcur_group_drag:\n" HL_KIT_GROUP("14001")
    "\t.p2align 3\n"
    "hl_kitcur_data_hand:\n" HL_KIT_HANDCUR_DATA
    "\t.p2align 3\n"
    "hl_kitcur_data_drag:\n" HL_KIT_DRAGCUR_DATA
    "\t.p2align 3\n"
    // The compiler takes the text section to be current after this block.
    "\t.text\n");

void RegisterKitCursors() {
  if (Screen == nullptr) return;
  HINSTANCE module = GetModuleHandleA(nullptr);
  // Cursors loaded from resources are shared by the system: they are never destroyed.
  Screen->SetCursors(crKitHand, LoadCursorA(module, "KIT_HANDCUR"));
  Screen->SetCursors(crKitDrag, LoadCursorA(module, "KIT_DRAGCUR"));
}

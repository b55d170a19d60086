#pragma once
// The kit's own mouse cursors: a pointing hand (over links and clickable charts) and a drag
// arrow. Their pictures are resources of the program ("KIT_HANDCUR", "KIT_DRAGCUR") that
// come with this module; RegisterKitCursors makes them screen cursors by number.

#include "platform/wcl/win/screen.h"

constexpr TCursor crKitHand = 14000;
constexpr TCursor crKitDrag = 14001;

// Loads the two cursors from the program's resources and registers them in Screen's cursor
// table as crKitHand and crKitDrag. Called once at start-up, after the application (and so
// Screen) exists; does nothing without a screen object.
void RegisterKitCursors();

# Cross build for 32-bit Windows (i386): the deliverable. Built here, never run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(HL_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# Floating point on SSE2, as the 64-bit twin that the tests run computes it (the x87 unit's
# 80-bit registers round differently; every processor Windows 8 and later run on has SSE2).
# Windows keeps a 32-bit program's stack aligned to 4 bytes only: functions that need more
# align it themselves.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
# The tracker keeps its whole work file in memory: on 64-bit Windows a 32-bit program marked
# large-address-aware gets 4 GB of address space instead of 2.
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,--large-address-aware")

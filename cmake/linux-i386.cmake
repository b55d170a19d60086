# The portable cores and their tests as 32-bit x86 code: i386 Linux programs, linked
# statically and run under qemu-i386 in user mode (this machine's kernel cannot run 32-bit
# programs itself). The only build where `long` is 32 bits wide, as on Windows, and whose
# arithmetic is the deliverable's: SSE2 math with the same flags as the 32-bit Windows build.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
# 64-bit file offsets and inode numbers: without them the directory listings fail on this
# machine's file systems. Undefined behaviour traps: its runtime does not link statically
# for i386.
set(hl_i386_flags "-m32 -msse2 -mfpmath=sse -mstackrealign -D_FILE_OFFSET_BITS=64 -fsanitize=undefined -fsanitize-undefined-trap-on-error")
set(CMAKE_C_FLAGS_INIT "${hl_i386_flags}")
set(CMAKE_CXX_FLAGS_INIT "${hl_i386_flags}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32 -static")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386)
# GoogleTest from its sources: the system's libraries are 64-bit.
set(HL_GTEST_FROM_SOURCES ON CACHE BOOL "Build GoogleTest from /usr/src/googletest")

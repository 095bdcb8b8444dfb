# 32-bit Windows with Debian's MinGW-w64 cross compiler (POSIX threads).
# Double arithmetic in SSE2 registers, as on every other target: x87 code
# would carry doubles in extended precision and round them differently.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)
set(KELVO_TRIPLE i686-w64-mingw32)
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)

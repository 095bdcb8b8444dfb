# Shared by the MinGW-w64 toolchain files (KELVO_TRIPLE set).
set(CMAKE_C_COMPILER ${KELVO_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELVO_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KELVO_TRIPLE}-windres)
# Self-contained programs: no libstdc++, libgcc or winpthread DLLs to ship.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(KELVO_SYSTEM_ROOT /usr/${KELVO_TRIPLE})
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
include(${CMAKE_CURRENT_LIST_DIR}/own-deps.cmake)

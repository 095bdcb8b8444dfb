# 32-bit x86 Linux with the host's compiler in 32-bit mode (Debian's
# g++-multilib). Tests run under qemu-user, as not every x86-64 kernel runs
# 32-bit programs (the ones here do not). Double
# arithmetic in SSE2 registers, as on every other target: x87 code would
# carry doubles in extended precision and round them differently.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KELVO_TRIPLE i686-linux-gnu)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-m32 -msse2 -mfpmath=sse")
set(KELVO_SYSTEM_ROOT "")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386)
include(${CMAKE_CURRENT_LIST_DIR}/own-deps.cmake)

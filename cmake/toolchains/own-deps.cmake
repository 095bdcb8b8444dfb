# Shared by the toolchain files of targets that Debian has no libraries for:
# scripts/test-platforms.sh builds FreeType and GoogleTest for them into
# KELVO_DEPS_PREFIX (build/deps/TRIPLE) and copies the header-only ones there.
if(NOT KELVO_DEPS_PREFIX)
  set(KELVO_DEPS_PREFIX ${CMAKE_CURRENT_LIST_DIR}/../../build/deps/${KELVO_TRIPLE})
endif()
get_filename_component(KELVO_DEPS_PREFIX ${KELVO_DEPS_PREFIX} ABSOLUTE)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KELVO_DEPS_PREFIX)
set(CMAKE_FIND_ROOT_PATH ${KELVO_SYSTEM_ROOT} ${KELVO_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The header-only libraries Debian ships for the host, copied there.
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${KELVO_DEPS_PREFIX}/include)
set(ENV{PKG_CONFIG_LIBDIR} "${KELVO_DEPS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

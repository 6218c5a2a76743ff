# Cross-compiling for Windows with Debian's MinGW-w64 compilers (the POSIX
# thread model, whose C++ library has std::thread). Included by the two
# per-architecture toolchain files, which set FX_MINGW_TRIPLET.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${FX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${FX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${FX_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${FX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config sees the target's packages only, never the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} /usr/${FX_MINGW_TRIPLET}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

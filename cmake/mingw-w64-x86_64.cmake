# Toolchain file: Windows x86-64 with Debian's MinGW-w64 (posix threads), runtime linked statically.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(quindle_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${quindle_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${quindle_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${quindle_mingw}-windres)

# Libraries and packages come from the MinGW sysroot and the given prefixes, never from the build host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${quindle_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# -static links libgcc, libstdc++ and winpthread into each executable and DLL (Qt's too), so none of their
# DLLs is shipped; Qt and Windows still come in through their import libraries.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -static)

# Tests run through wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine CACHE FILEPATH "Runs the Windows test executables")

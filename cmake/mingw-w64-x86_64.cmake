# Cross build for 64-bit Windows with Debian's mingw-w64 (posix thread model,
# for std::thread). Pass by absolute path:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=$PWD/cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELNOR_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELNOR_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELNOR_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${VELNOR_MINGW}-windres)

# Headers, libraries and packages from the mingw root only; programs (Wine,
# the layer check) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${VELNOR_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ runtime and winpthreads linked in: the programs import system DLLs only.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

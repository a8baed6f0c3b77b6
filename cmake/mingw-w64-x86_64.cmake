# Cross build for 64-bit Windows with Debian's MinGW-w64 compiler, POSIX thread model
# (std::thread and std::mutex need it): packages g++-mingw-w64-x86-64-posix, mingw-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELK_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VELK_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VELK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs carry their C++ runtime and the thread library inside, so the .exe
# files run from a folder of their own without MinGW DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine on the build machine.
find_program(VELK_WINE NAMES wine64 wine)
if(VELK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELK_WINE})
endif()

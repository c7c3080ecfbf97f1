# Cross build for 64-bit Windows with MinGW-w64 (posix threads, so std::thread works), the
# results run under Wine: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KELPMERE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KELPMERE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELPMERE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KELPMERE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KELPMERE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The run-time libraries of the compiler go into each executable, so that Wine needs no DLL
# search path to start them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs and the command-line washer run through Wine.
find_program(KELPMERE_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(KELPMERE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KELPMERE_WINE})
endif()

# Wine shows the host's root folder as drive Z:, so a host path handed to a program that runs
# under it gets this in front.
set(KELPMERE_EMULATOR_PATH_PREFIX "Z:")

# Cross build for 64-bit Windows with MinGW-w64 (posix threads, so std::thread works), the
# results run under Wine: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KELPMERE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KELPMERE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELPMERE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KELPMERE_MINGW_TRIPLE}-windres)

# KELPMERE_WINDOWS_LIBRARIES: the prefix of the MinGW builds of pugixml and libzip
# (scripts/build-windows-libraries), searched beside the compiler's own root.
set(CMAKE_FIND_ROOT_PATH /usr/${KELPMERE_MINGW_TRIPLE} ${KELPMERE_WINDOWS_LIBRARIES})
# pkg-config reads only the target's .pc files, never the host's. (The compiler checks read
# this file again without the project's variables: they leave the setting alone.)
if(KELPMERE_WINDOWS_LIBRARIES)
  set(ENV{PKG_CONFIG_LIBDIR} "${KELPMERE_WINDOWS_LIBRARIES}/lib/pkgconfig")
  set(ENV{PKG_CONFIG_PATH} "")
endif()
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

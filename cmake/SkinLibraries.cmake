# The toolkit's two libraries: libzip reads the skin archive, pugixml the skin XML. Both builds
# take them as the targets Kelpmere::libzip and pugixml::pugixml: from Debian's packages here,
# from the static MinGW builds of scripts/build-windows-libraries in a cross build (its prefix
# is on the find root path and pkg-config's search path, see cmake/mingw-w64-x86_64.cmake).
include_guard(GLOBAL)

find_package(PkgConfig REQUIRED)
pkg_check_modules(KELPMERE_LIBZIP REQUIRED IMPORTED_TARGET GLOBAL libzip)
add_library(Kelpmere::libzip ALIAS PkgConfig::KELPMERE_LIBZIP)
if(WIN32)
  # A static libzip: its headers must not declare DLL imports, and its own dependencies (zlib,
  # the registry functions of advapi32) are linked by its users.
  target_compile_definitions(PkgConfig::KELPMERE_LIBZIP INTERFACE ZIP_STATIC)
  target_link_libraries(PkgConfig::KELPMERE_LIBZIP INTERFACE z advapi32)
endif()

find_package(pugixml REQUIRED)

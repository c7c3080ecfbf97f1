# kelpmere-cli's two header-only libraries, from Debian (scripts/install-deps): CLI11 reads the
# command line, nlohmann::json holds the --json records (and reads them back in the tests). Both
# builds link them as the packages' targets CLI11::CLI11 and nlohmann_json::nlohmann_json.
include_guard(GLOBAL)

if(NOT CMAKE_CROSSCOMPILING)
  find_package(CLI11 CONFIG REQUIRED GLOBAL)
  find_package(nlohmann_json CONFIG REQUIRED GLOBAL)
  return()
endif()

# A cross build can't take the packages' targets: they add the host's include folder, whose C
# library headers are not the target system's. The headers themselves are plain C++, so each
# library's own folder (CLI/, nlohmann/) is linked into a folder of the build that holds nothing
# else, and a target of the package's name adds that folder as a system include.
function(kelpmere_host_header_library target header)
  get_filename_component(folder ${header} DIRECTORY)
  string(MAKE_C_IDENTIFIER ${folder} id)
  string(TOUPPER ${id} id)
  find_path(KELPMERE_${id}_INCLUDE_DIR ${header} PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH
    DOC "Host folder that holds ${header}")
  if(NOT KELPMERE_${id}_INCLUDE_DIR)
    message(FATAL_ERROR "${header} not found on this machine: run scripts/install-deps windows")
  endif()
  set(exposed ${CMAKE_BINARY_DIR}/host-headers/${folder})
  file(REMOVE_RECURSE ${exposed})
  file(MAKE_DIRECTORY ${exposed})
  file(CREATE_LINK ${KELPMERE_${id}_INCLUDE_DIR}/${folder} ${exposed}/${folder} SYMBOLIC COPY_ON_ERROR)
  add_library(${target} INTERFACE IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${exposed})
endfunction()

kelpmere_host_header_library(CLI11::CLI11 CLI/CLI.hpp)
kelpmere_host_header_library(nlohmann_json::nlohmann_json nlohmann/json.hpp)

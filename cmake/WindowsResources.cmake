# kelpmere_windows_resources(<target> <description>): the resources of a Windows executable:
# icon 102 (every size of skin/icons in one .ico), the version information from the project's
# version, and the manifest (common controls 6, the UTF-8 active code page, run as the user).
include_guard(GLOBAL)

find_program(KELPMERE_ICOTOOL icotool REQUIRED)
set(KELPMERE_ICON_FILE ${CMAKE_BINARY_DIR}/resources/kelpmere.ico CACHE INTERNAL "The executables' icon")
file(GLOB KELPMERE_ICON_PICTURES ${PROJECT_SOURCE_DIR}/skin/icons/kelpmere-*.png)
add_custom_command(OUTPUT ${KELPMERE_ICON_FILE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/resources
  COMMAND ${KELPMERE_ICOTOOL} -c -o ${KELPMERE_ICON_FILE} ${KELPMERE_ICON_PICTURES}
  DEPENDS ${KELPMERE_ICON_PICTURES}
  COMMENT "Making kelpmere.ico"
  VERBATIM)
add_custom_target(kelpmere_icon DEPENDS ${KELPMERE_ICON_FILE})

function(kelpmere_windows_resources target description)
  set(KELPMERE_RESOURCE_NAME ${target})
  set(KELPMERE_RESOURCE_DESCRIPTION ${description})
  set(KELPMERE_RESOURCE_ICON ${KELPMERE_ICON_FILE})
  set(KELPMERE_RESOURCE_MANIFEST ${CMAKE_CURRENT_BINARY_DIR}/${target}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/program.manifest.in ${KELPMERE_RESOURCE_MANIFEST} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/program.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${target}.rc PROPERTIES
    OBJECT_DEPENDS "${KELPMERE_ICON_FILE};${KELPMERE_RESOURCE_MANIFEST}")
  add_dependencies(${target} kelpmere_icon)
endfunction()

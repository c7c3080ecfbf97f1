# Warnings for the project's own targets; third-party headers come in as system includes.
function(kelpmere_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  # GCC 12 warns of overlapping copies inside libstdc++'s own string concatenation ("a" + s) once
  # it inlines deeply (-O3, a Release build): a false alarm of that compiler, left out for it.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
     AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(KELPMERE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

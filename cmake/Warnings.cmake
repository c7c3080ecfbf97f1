# Warnings for the project's own targets; third-party headers come in as system includes.
function(kelpmere_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(KELPMERE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

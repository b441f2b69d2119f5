# Strict warnings for the project's own code (not for GoogleTest).
function(lumox_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  if(WIN32)
    # Sources are UTF-8; the program's narrow strings are Windows-1250 bytes.
    target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=CP1250)
  endif()
endfunction()

# Strict warnings for the project's own code (not for GoogleTest).
function(lumox_strict target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  if(WIN32)
    # Sources are UTF-8; the program's narrow strings are Windows-1250 bytes.
    target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=CP1250)
  endif()
endfunction()

# The program's own code in the Windows builds: no exceptions (failures are
# null results), no RTTI, unused sections dropped at link time, and the C
# library's own printf (the scores need nothing more). This keeps the
# release executable small.
function(lumox_program_code target)
  if(WIN32)
    target_compile_options(${target} PRIVATE
      -fno-exceptions -fno-rtti -fno-asynchronous-unwind-tables -ffunction-sections -fdata-sections)
    target_compile_definitions(${target} PRIVATE __USE_MINGW_ANSI_STDIO=0)
  endif()
endfunction()

# Warnings are errors, with GCC and Clang alike (MinGW-w64 included), and with MSVC.
function(pokerhilfe_set_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX /permissive- /utf-8)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror)
  endif()
endfunction()

# POKERHILFE_SANITIZE builds everything, tests included, with AddressSanitizer and
# UndefinedBehaviorSanitizer; any finding ends the process with an error.
option(POKERHILFE_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

if(POKERHILFE_SANITIZE)
  if(MSVC)
    message(FATAL_ERROR "POKERHILFE_SANITIZE is for GCC and Clang")
  endif()
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

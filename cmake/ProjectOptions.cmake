# Warnings are errors on all of the project's own code.
add_compile_options(-Wall -Wextra -Werror)

option(SMIS_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(SMIS_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

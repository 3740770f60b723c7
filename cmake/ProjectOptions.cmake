# Warnings are errors on all of the project's own code.
add_compile_options(-Wall -Wextra -Werror)

option(SMIS_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(SMIS_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Test builds check the lock rule at every array exchange (LockRegister): on
# by default in every preset; a packaged build may turn it off.
option(SMIS_LOCK_REGISTER "Abort when an array exchange runs while a forbidden lock is held" ON)

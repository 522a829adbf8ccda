# Warnings are private to each target so that consumers are not affected.
function(lintrim_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()

# Optimised builds get the hardening Debian builds its packages with: glibc's
# checked string and memory calls where a size is known at compile time
# (they need optimisation, hence not Debug), and a Global Offset Table that is
# read-only once the program runs (relro, with -z now resolving every symbol at
# start). Both are glibc's and ELF's, so not for Windows. Sanitizer and fuzz
# builds keep to their own instrumentation.
option(LINTRIM_HARDEN "Fortified libc calls and full RELRO in optimised builds" ON)
if(LINTRIM_HARDEN AND NOT LINTRIM_SANITIZE AND NOT LINTRIM_FUZZ AND NOT WIN32)
  add_compile_options($<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
  add_link_options(-Wl,-z,relro,-z,now)
endif()

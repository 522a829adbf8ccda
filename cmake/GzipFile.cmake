# Compresses a file made or kept in the tree as Debian wants its man pages and
# changelogs: best compression, and no name or time stamp in the header, so
# the same text always gives the same bytes.
find_program(LINTRIM_GZIP gzip REQUIRED)

function(lintrim_gzip source output)
  add_custom_command(OUTPUT ${output}
                     COMMAND ${LINTRIM_GZIP} -9n -c ${source} > ${output}
                     DEPENDS ${source}
                     COMMENT "Compressing ${output}")
endfunction()

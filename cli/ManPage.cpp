// Prints the man page of lintrim-cli, made from its option table; the
// build runs it to write lintrim-cli.1.
#include <cstdio>

#include "CliOptions.h"

int main() {
    return std::fputs(ManPage(LINTRIM_VERSION).c_str(), stdout) < 0 ? 1 : 0;
}

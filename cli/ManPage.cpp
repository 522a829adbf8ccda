// Prints the man page of lintrim-cli, or with "completion" its bash
// completion, both made from its option table; the build runs it to write
// lintrim-cli.1 and lintrim-cli.bash.
#include <cstdio>
#include <cstring>

#include "CliOptions.h"

using namespace lintrim;

int main(int argc, char** argv) {
    const bool completion = argc > 1 && std::strcmp(argv[1], "completion") == 0;
    const std::string text = completion ? CompletionScript() : ManPage(LINTRIM_VERSION);
    return std::fputs(text.c_str(), stdout) < 0 ? 1 : 0;
}

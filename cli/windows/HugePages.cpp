// Windows gives large pages only to a process holding the lock-pages
// privilege, through its own calls: the program runs with the pages it has.
#include "HugePages.h"

void StartWithHugePages(char**, uint64_t, uint64_t) {}

// The one figure the engine asks of a file system, free space, as POSIX
// names it; SystemCalls::Fstatvfs fills it from GetDiskFreeSpaceExW.
#pragma once

struct statvfs {
    unsigned long long f_bavail = 0;  // blocks free to this user
    unsigned long long f_frsize = 1;  // bytes a block
};

// A full quota is a full disk to Windows (ERROR_DISK_FULL).
#pragma once
#pragma GCC system_header
#include_next <errno.h>

#define EDQUOT ENOSPC

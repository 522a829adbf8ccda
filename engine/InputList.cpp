// Opening a list: only a regular file is a list.
#include "InputList.h"

#include <fcntl.h>

#include "SystemCalls.h"

std::optional<InputList> InputList::Open(const std::string& path) {
    FileHandle file(Sys().Open(path.c_str(), O_RDONLY, 0));
    if (!file.IsOpen()) return std::nullopt;
    struct stat info {};
    if (Sys().Fstat(file.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return InputList(std::move(file), static_cast<uint64_t>(info.st_size));
}

// The facts as Linux gives them: /proc/meminfo, the RLIMIT_AS limit, $TMPDIR.
#include "os/SystemFacts.h"

#include <sys/resource.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <thread>

namespace lintrim {

namespace system_facts {
uint64_t AvailableMemory() {
    std::ifstream meminfo("/proc/meminfo");
    const std::string key = "MemAvailable:";
    for (std::string line; std::getline(meminfo, line);)
        if (line.compare(0, key.size(), key) == 0)
            return std::stoull(line.substr(key.size())) * 1024;
    return 0;
}

uint64_t AddressSpaceLimit() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return UINT64_MAX;
    return limit.rlim_cur;
}

unsigned Processors() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores ? cores : 1;
}

std::string TemporaryFolder() {
    const char* system = std::getenv("TMPDIR");
    return system && *system ? system : "/tmp";
}

bool IsCharacterDevice(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}
}  // namespace system_facts

}  // namespace lintrim

// What the engine falls back on, asked of the system: the memory available,
// the address space the process may take, the processors, the system's
// folder for temporary files, what a path is and where its folder ends.
// Each system answers in its own file.
#pragma once

#include <cstdint>
#include <string>

namespace lintrim {

namespace system_facts {
// Bytes of memory available now; 0 when unknown.
uint64_t AvailableMemory();
// Bytes of address space the process may take in all; UINT64_MAX: no limit.
uint64_t AddressSpaceLimit();
// Processors the process may run on: at least one.
unsigned Processors();
// The system's folder for temporary files.
std::string TemporaryFolder();
// True when `path` leads to a character device (/dev/null, NUL).
bool IsCharacterDevice(const std::string& path);
// The folder part of `path` ("." when it names none).
std::string FolderOf(const std::string& path);
// The name part of `path`, after its last separator.
std::string NameOf(const std::string& path);
}  // namespace system_facts

}  // namespace lintrim

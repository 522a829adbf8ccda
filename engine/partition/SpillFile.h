// A temporary file for the part of a run that does not fit its memory
// budget: a scratch file, which has no name and vanishes however the
// process ends, only ever appended to, then read back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "os/ScratchFile.h"

class SpillFile {
public:
    SpillFile() = default;
    // A new empty file in `folder`; throws JobFailure when none can be made.
    static SpillFile Create(const std::string& folder);

    explicit operator bool() const { return m_file.has_value(); }
    uint64_t Size() const { return m_size; }
    // The folder the file is in, which its failures name.
    const std::string& Folder() const { return m_folder; }

    // Throws JobFailure: "not enough disk space for temporary files" when
    // the disk is full, "temporary files can't be written" otherwise.
    void Append(const char* bytes, size_t size);
    // Reads `size` bytes from `offset`; throws JobFailure.
    void ReadAt(char* to, size_t size, uint64_t offset) const;
    // Throws JobFailure("temporary files can't be read"): the file holds
    // less than was written to it.
    [[noreturn]] void CutShort() const;
    // The free bytes of the file system the file is on.
    uint64_t FreeSpace() const;
    // Closes it; its space goes back to the file system.
    void Drop() { *this = SpillFile(); }

private:
    SpillFile(ScratchFile file, std::string folder)
        : m_file(std::move(file)), m_folder(std::move(folder)) {}

    std::optional<ScratchFile> m_file;
    std::string m_folder;
    uint64_t m_size = 0;
};

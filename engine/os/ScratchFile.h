// A scratch file for data that does not fit in memory: a file in a chosen
// folder that has no name from the start (or loses it at once where the file
// system cannot make unnamed files), so it vanishes when it is closed, when
// the program ends, or when the program is killed.
#pragma once

#include <string>

#include "os/FileHandle.h"

namespace lintrim {

class ScratchFile {
public:
    // Throws JobFailure("temporary file can't be made"), naming the folder,
    // when the folder cannot be opened or refuses the file.
    static ScratchFile Create(const std::string& folder);

    // Open for reading and writing.
    int Descriptor() const { return m_file.Get(); }

private:
    explicit ScratchFile(FileHandle file) : m_file(std::move(file)) {}

    FileHandle m_file;
};

}  // namespace lintrim

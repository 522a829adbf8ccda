// Opening a list file for reading; ListReader reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "FileHandle.h"

class InputList {
public:
    // The list at path, opened for reading; nothing when it cannot be opened
    // or is not a regular file (a folder, a device).
    static std::optional<InputList> Open(const std::string& path);

    uint64_t Size() const { return m_size; }
    // The open file, read from its start by one reader.
    int Descriptor() const { return m_file.Get(); }

private:
    InputList(FileHandle file, uint64_t size) : m_file(std::move(file)), m_size(size) {}

    FileHandle m_file;
    uint64_t m_size;
};

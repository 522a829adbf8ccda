// Opening a list file for reading and reading it whole, in large blocks.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "FileHandle.h"
#include "ListBuffer.h"

class InputList {
public:
    // The list at path, opened for reading; nothing when it cannot be opened
    // or is not a regular file (a folder, a device).
    static std::optional<InputList> Open(const std::string& path);

    uint64_t Size() const { return m_size; }

    // Reads the whole file into a new buffer. After each block, onBlock is told
    // how many bytes have arrived. Throws JobFailure with failureText when a
    // read fails or the file's length changed while it was read, and with
    // "not enough memory" when the buffer cannot be had. Closes the file.
    using BlockObserver = std::function<void(const ListBuffer&, uint64_t bytesRead)>;
    ListBuffer ReadAll(const BlockObserver& onBlock, const char* failureText);

    // Block size of the reads; tests shrink it to make lines straddle blocks.
    static void SetBlockSizeForTesting(uint64_t bytes);

private:
    InputList(FileHandle file, uint64_t size) : m_file(std::move(file)), m_size(size) {}
    void ReadBlocks(ListBuffer& buffer, const BlockObserver& onBlock, const char* failureText);

    FileHandle m_file;
    uint64_t m_size;
};

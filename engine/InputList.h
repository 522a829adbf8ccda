// Opening a list file for reading and reading it whole, in large blocks. The
// file stays open (and an input list locked) until the object is destroyed,
// so that a later pass can read it again and the replacement can be checked
// against it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "ListBuffer.h"
#include "ListLocation.h"

class InputList {
public:
    // The input list at path, opened for reading and locked for the run;
    // nothing when it cannot be opened or is not a regular file (a folder, a
    // FIFO, a device). Throws JobFailure("input list is in use by another
    // run") when another run holds the list.
    static std::optional<InputList> Open(const std::string& path);
    // A list that is only read (a reference list): not locked.
    static std::optional<InputList> OpenReference(const std::string& path);

    uint64_t Size() const { return m_size; }
    const ListLocation& Location() const { return m_location; }
    // The open file, read-only: a second pass may pread it.
    int Descriptor() const { return m_location.Descriptor(); }

    // Reads the whole file into a new buffer. After each block, onBlock is told
    // how many bytes have arrived. Throws JobFailure with failureText when a
    // read fails or the file's length changed while it was read, and with
    // "not enough memory" when the buffer cannot be had.
    using BlockObserver = std::function<void(const ListBuffer&, uint64_t bytesRead)>;
    ListBuffer ReadAll(const BlockObserver& onBlock, const char* failureText);

    // Block size of the reads; tests shrink it to make lines straddle blocks.
    static void SetBlockSizeForTesting(uint64_t bytes);

private:
    explicit InputList(ListLocation location)
        : m_location(std::move(location)),
          m_size(static_cast<uint64_t>(m_location.Identity().size)) {}
    void ReadBlocks(ListBuffer& buffer, const BlockObserver& onBlock, const char* failureText);

    ListLocation m_location;
    uint64_t m_size;
};

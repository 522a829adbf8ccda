// Opening a list file for reading (ListReader reads it). The file stays open (and an input list
// locked) until the object is destroyed, so that a later pass can read it again and the replacement
// can be checked against it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

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

private:
    explicit InputList(ListLocation location)
        : m_location(std::move(location)),
          m_size(static_cast<uint64_t>(m_location.Identity().size)) {}

    ListLocation m_location;
    uint64_t m_size;
};

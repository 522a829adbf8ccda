// Writing a result to a stream (standard output): buffered writes, and a
// commit that only flushes, since what a stream was given cannot be taken
// back.
#pragma once

#include <cstddef>

#include "ByteBuffer.h"
#include "ListWriter.h"

class StreamWriter : public ListWriter {
public:
    // `fd` stays open and is not owned.
    explicit StreamWriter(int fd);

    // Throws JobFailure("output list can't be written") naming "-".
    void Write(const char* bytes, size_t size) override;
    void Commit() override { Flush(); }

private:
    void Flush();

    int m_fd;
    ByteBuffer m_buffer;
};

// Writing a result to a stream (standard output): buffered writes, and a
// commit that only flushes, since what a stream was given cannot be taken
// back.
#pragma once

#include <cstddef>
#include <string>

#include "os/ByteBuffer.h"
#include "write/ListWriter.h"

namespace lintrim {

class StreamWriter : public ListWriter {
public:
    // `fd` stays open and is not owned; failures name `subject`.
    explicit StreamWriter(int fd, std::string subject = "-");

    // Throws JobFailure("output list can't be written").
    void Write(const char* bytes, size_t size) override;
    void Commit() override { Flush(); }

private:
    void Flush();

    int m_fd;
    std::string m_subject;
    ByteBuffer m_buffer;
};

}  // namespace lintrim

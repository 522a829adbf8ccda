// A ListWriter that compresses what it is given on its way to another
// (a ReplacementFile, a new file, a device), which keeps its own guarantees:
// nothing counts until Commit(), which ends the compressed stream and then
// commits the file beneath.
#pragma once

#include <cstddef>
#include <memory>

#include "write/Encoder.h"
#include "write/ListWriter.h"

namespace lintrim {

class CompressingWriter : public ListWriter {
public:
    CompressingWriter(std::unique_ptr<Encoder> encoder, std::unique_ptr<ListWriter> to);

    void Write(const char* bytes, size_t size) override { m_encoder->Write(bytes, size, *m_to); }
    void Commit() override;

private:
    std::unique_ptr<Encoder> m_encoder;
    std::unique_ptr<ListWriter> m_to;
};

}  // namespace lintrim

// The compressed stream is whole before the file beneath is committed.
#include "write/CompressingWriter.h"

namespace lintrim {

CompressingWriter::CompressingWriter(std::unique_ptr<Encoder> encoder,
                                     std::unique_ptr<ListWriter> to)
    : m_encoder(std::move(encoder)), m_to(std::move(to)) {}

void CompressingWriter::Commit() {
    m_encoder->Finish(*m_to);
    m_to->Commit();
}

}  // namespace lintrim

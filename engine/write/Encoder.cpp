// Gathering, the compression loop and handing the output on.
#include "write/Encoder.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"

namespace lintrim {

namespace {
// The size ListWriters buffer in: a full output block goes out in one write.
constexpr size_t kBlock = size_t{256} << 10;
}  // namespace

Encoder::Encoder(const char* formatName, size_t stepRoom)
    : m_formatName(formatName), m_stepRoom(stepRoom) {
    m_gathered.Reserve(kBlock);
    m_output.Reserve(std::max(kBlock, stepRoom));
}

void Encoder::Write(const char* bytes, size_t size, ListWriter& to) {
    if (size > m_gathered.Capacity() - m_gathered.Size()) {
        Compress(m_gathered.Data(), m_gathered.Size(), to);
        m_gathered.Clear();
        if (size >= m_gathered.Capacity()) return Compress(bytes, size, to);  // a very long line
    }
    std::memcpy(m_gathered.Extend(size), bytes, size);
}

void Encoder::Finish(ListWriter& to) {
    Compress(m_gathered.Data(), m_gathered.Size(), to);
    m_gathered.Clear();
    while (!Advance(true, to)) {
    }
    Drain(to);
}

void Encoder::Compress(const char* bytes, size_t size, ListWriter& to) {
    m_in = bytes;
    m_inLeft = size;
    while (m_inLeft > 0) Advance(false, to);
}

// A library that neither takes nor makes a byte while it has room would be
// called forever.
bool Encoder::Advance(bool finish, ListWriter& to) {
    if (OutLeft() < m_stepRoom) Drain(to);
    const size_t inLeft = m_inLeft;
    const size_t outLeft = OutLeft();
    const bool done = Step(finish);
    if (!done && m_inLeft == inLeft && OutLeft() == outLeft) Fail();
    return done;
}

void Encoder::Drain(ListWriter& to) {
    if (!m_output.Empty()) to.Write(m_output.Data(), m_output.Size());
    m_output.Clear();
}

void Encoder::Fail() const {
    throw JobFailure(status::kOutputCantBeWritten,
                     {0, std::string("the ") + m_formatName + " encoder failed"});
}

}  // namespace lintrim

// The read loop shared by the compressed formats.
#include "read/InflatingSource.h"

#include "lintrim/JobFailure.h"

namespace lintrim {

namespace {
constexpr size_t kInputBlock = size_t{256} << 10;
// A library that neither takes nor makes a byte this many times in a row
// is stuck: at the end of the input the data is cut short, before it the
// data is one the library cannot go on with. A single such call is normal
// (a stream ending with all its bytes already given out).
constexpr int kIdleCalls = 2;

// Whole MiB, or KiB below one; a need is rounded up, an allowance down.
std::string Amount(uint64_t bytes, bool up) {
    const bool mebibytes = bytes >= (uint64_t{1} << 20);
    const uint64_t unit = mebibytes ? uint64_t{1} << 20 : uint64_t{1} << 10;
    const uint64_t whole = bytes / unit + (up && bytes % unit ? 1 : 0);
    return std::to_string(whole) + (mebibytes ? " MiB" : " KiB");
}
}  // namespace

InflatingSource::InflatingSource(std::unique_ptr<ByteSource> compressed, const char* failureText,
                                 const char* formatName)
    : m_compressed(std::move(compressed)), m_failureText(failureText), m_formatName(formatName) {
    m_input.Reserve(kInputBlock);
}

size_t InflatingSource::Read(char* to, size_t size) {
    int idle = 0;
    while (!m_done && size > 0) {
        if (InputLeft() == 0 && !m_ended) TakeInput();
        m_done = InputLeft() == 0 && m_ended && !InStream();
        if (m_done) break;
        const size_t at = m_at;
        if (const size_t made = Inflate(to, size)) return made;
        idle = m_at == at ? idle + 1 : 0;
        if (idle == kIdleCalls && m_ended) CutShort();
        if (idle == kIdleCalls) Corrupt();
    }
    return 0;
}

void InflatingSource::TakeInput() {
    m_input.Resize(kInputBlock);
    const size_t got = m_compressed->Read(m_input.Data(), kInputBlock);
    m_input.Resize(got);
    m_at = 0;
    m_ended = got == 0;
}

void InflatingSource::CutShort() const {
    Fail(std::string("the ") + m_formatName + " data is cut short");
}

void InflatingSource::Garbage() const {
    Fail(std::string("garbage after the ") + m_formatName + " data");
}

void InflatingSource::Corrupt() const {
    Fail(std::string("the ") + m_formatName + " data is corrupt");
}

void InflatingSource::NeedsMore(const char* part, uint64_t need, uint64_t limit) const {
    Fail(std::string("the ") + m_formatName + " stream needs " + Amount(need, true) + " for its " +
         part + "; the memory budget allows " + Amount(limit, false));
}

void InflatingSource::Fail(const std::string& reason) const {
    throw JobFailure(m_failureText, {0, reason});
}

}  // namespace lintrim

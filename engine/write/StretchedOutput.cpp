// Waves of stretches over the worker threads.
#include "write/StretchedOutput.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "os/ByteBuffer.h"
#include "os/ParallelStage.h"
#include "record/CopyLine.h"
#include "write/ListWriter.h"

namespace lintrim {

namespace {
// The bytes of one stretch, in the output's form.
class BufferWriter : public ListWriter {
public:
    explicit BufferWriter(ByteBuffer& to) : m_to(to) {}
    void Write(const char* bytes, size_t size) override { m_to.Append(bytes, size); }
    void WriteLine(const char* line, size_t length, const char* end, size_t endLength) override {
        char* at = m_to.Extend(length + endLength);
        CopyLine(at, line, length);
        for (size_t i = 0; i < endLength; ++i) at[length + i] = end[i];
    }
    void Commit() override {}

private:
    ByteBuffer& m_to;
};

struct Stretch {
    ByteBuffer bytes;
    uint64_t lines = 0;
    std::atomic<bool> done{false};
};
}  // namespace

// The buffers of one wave are those of the next, so that formatting writes
// into memory that is already the process's, grown once.
void WriteInStretches(LineOutput& output, size_t stretches, unsigned threads, uint64_t step,
                      const std::function<void(uint64_t)>& onWritten, const StretchFormat& format) {
    const size_t wave = 2 * std::max(threads, 1u);
    std::vector<Stretch> parts(std::min(wave, stretches));
    uint64_t written = 0;
    for (size_t first = 0; first < stretches; first += wave) {
        const size_t count = std::min(wave, stretches - first);
        for (Stretch& part : parts) {
            part.bytes.Clear();
            part.lines = 0;
            part.done.store(false, std::memory_order_relaxed);
        }
        size_t next = 0;
        auto writeDone = [&] {
            for (; next < count && parts[next].done.load(std::memory_order_acquire); ++next) {
                const Stretch& part = parts[next];
                for (uint64_t at = (written + step - 1) / step * step; at < written + part.lines;
                     at += step)
                    onWritten(at);
                if (!part.bytes.Empty()) output.PutFormatted(part.bytes.Data(), part.bytes.Size());
                written += part.lines;
            }
        };
        RunParallel(
            count, threads,
            [&](size_t i) {
                BufferWriter buffer(parts[i].bytes);
                LineOutput to = output.WritingTo(buffer);
                parts[i].lines = format(first + i, to);
                parts[i].done.store(true, std::memory_order_release);
            },
            writeDone);
        writeDone();
    }
}

}  // namespace lintrim

// Compressing into lz4 frames.
#include "write/Lz4Encoder.h"

#include <lz4frame.h>

#include <algorithm>
#include <new>

namespace lintrim {

namespace {
// Blocks of 64 KiB, each linked to the one before: on word lists they
// pack as well as the tool's 4 MiB blocks, and the context and every
// reader of the file then hold little. A checksum of each frame's content,
// as the lz4 tool writes. The fast level: lz4 is chosen for its speed.
constexpr size_t kChunk = size_t{64} << 10;

LZ4F_preferences_t Preferences() {
    LZ4F_preferences_t preferences{};
    preferences.frameInfo.blockSizeID = LZ4F_max64KB;
    preferences.frameInfo.blockMode = LZ4F_blockLinked;
    preferences.frameInfo.contentChecksumFlag = LZ4F_contentChecksumEnabled;
    preferences.autoFlush = 1;  // nothing waits in the context between calls
    return preferences;
}

// liblz4 writes only where the worst case fits: each step asks for room
// for a whole chunk, which also holds a frame's header or its end.
size_t StepRoom() {
    const LZ4F_preferences_t preferences = Preferences();
    return std::max<size_t>(LZ4F_compressBound(kChunk, &preferences), LZ4F_HEADER_SIZE_MAX);
}

class Lz4 : public Encoder {
public:
    Lz4() : Encoder("lz4", StepRoom()), m_preferences(Preferences()) {
        if (LZ4F_isError(LZ4F_createCompressionContext(&m_context, LZ4F_VERSION)))
            throw std::bad_alloc();
    }
    ~Lz4() override { LZ4F_freeCompressionContext(m_context); }
    Lz4(const Lz4&) = delete;
    Lz4& operator=(const Lz4&) = delete;

private:
    // One call a step: a frame's header, a chunk, or the frame's end.
    bool Step(bool finish) override {
        if (!m_inFrame) {
            Made(Checked(LZ4F_compressBegin(m_context, Out(), OutLeft(), &m_preferences)));
            m_inFrame = true;
            return false;
        }
        if (InLeft() > 0) {
            const size_t taken = std::min(InLeft(), kChunk);
            Made(Checked(LZ4F_compressUpdate(m_context, Out(), OutLeft(), In(), taken, nullptr)));
            Took(taken);
            return false;
        }
        if (!finish) return false;
        Made(Checked(LZ4F_compressEnd(m_context, Out(), OutLeft(), nullptr)));
        m_inFrame = false;
        return true;
    }

    size_t Checked(size_t result) const {
        if (LZ4F_isError(result)) Fail();
        return result;
    }

    LZ4F_cctx* m_context = nullptr;
    LZ4F_preferences_t m_preferences;
    bool m_inFrame = false;
};
}  // namespace

std::unique_ptr<Encoder> Lz4Encoder() {
    return std::make_unique<Lz4>();
}

}  // namespace lintrim

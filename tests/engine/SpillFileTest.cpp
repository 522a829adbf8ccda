// Temporary files read back at any offset, whatever the blocks their
// appends were cut into, and two files read in turns on one thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "TempDir.h"
#include "lintrim/JobFailure.h"
#include "os/ByteBuffer.h"
#include "partition/SpillFile.h"

using namespace lintrim;

TEST(SpillFile, ReadsAnyStretchBackAsAppended) {
    TempDir dir;
    std::mt19937 random(3);
    for (const size_t block : {size_t{5}, size_t{100}, size_t{0}}) {
        SCOPED_TRACE(block);
        SpillFile::SetBlockSizeForTesting(block);
        // Text that packs and noise that does not, appended whole and gathered.
        std::string bytes[2];
        SpillFile files[2] = {SpillFile::Create(dir.Path().string()),
                              SpillFile::Create(dir.Path().string())};
        for (int append = 0; append < 150; ++append) {
            std::vector<ByteBuffer> buffers(1 + random() % 3);
            for (ByteBuffer& buffer : buffers)
                for (auto n = random() % 1000; n > 0; --n) {
                    const char noise = static_cast<char>(random());
                    if (append % 2)
                        buffer.Append("word\n", 5);
                    else
                        buffer.Append(&noise, 1);
                }
            std::string& all = bytes[append % 3 == 0];
            SpillFile& file = files[append % 3 == 0];
            for (const ByteBuffer& buffer : buffers) all.append(buffer.Data(), buffer.Size());
            file.Append(buffers);
        }
        for (int read = 0; read < 400; ++read) {
            const int f = read % 2;
            ASSERT_EQ(files[f].Size(), bytes[f].size());
            const size_t at = random() % bytes[f].size();
            std::string got(std::min<size_t>(random() % 3000, bytes[f].size() - at), 0);
            files[f].ReadAt(got.data(), got.size(), at);
            ASSERT_EQ(got, bytes[f].substr(at, got.size())) << at;
        }
        EXPECT_THROW(files[0].ReadAt(bytes[0].data(), 1, files[0].Size()), JobFailure);
    }
    SpillFile::SetBlockSizeForTesting(0);
}

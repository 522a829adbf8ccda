// Keys sorted by their lines' prefixes, deeper where they agree, come out as
// a sort by whole lines does: lines that are prefixes of others, that go on
// in zero bytes, that agree past the deepest prefix, and that are short.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "order/KeptSort.h"
#include "record/Record.h"

using namespace lintrim;

TEST(KeptSort, PrefixesDeeperWhereLinesAgreeSortAsWholeLinesDo) {
    std::mt19937 random(7);
    const std::string stems[] = {"", "password", std::string(70, 'a'), std::string("ab\0\0", 4)};
    std::vector<std::string> records;
    std::vector<std::string> lines{"a", std::string("a\0", 2)};
    for (int i = 0; i < 3000; ++i) {
        std::string line = stems[random() % 4];
        for (auto n = random() % 12; n > 0; --n) line += "ab\0z"[random() % 4];
        lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    std::shuffle(lines.begin(), lines.end(), random);
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string kept(record::kKeptHeadSize, '\0');
        record::WriteHead(kept.data(), static_cast<uint32_t>(lines[i].size()), i);
        records.push_back(kept + lines[i]);
    }
    const KeptOrder order{OrderKind::Alphabetical, LineKey()};
    std::vector<KeptKey> keys;
    for (const std::string& kept : records) keys.push_back(KeptKey::Of(order, kept.data()));
    SortKeys(keys.data(), keys.data() + keys.size(), order);
    std::vector<std::string> sorted;
    for (const KeptKey& key : keys) {
        sorted.emplace_back(record::KeptLine(key.kept), record::Length(key.kept));
        EXPECT_EQ(key.key, KeptKey::Of(order, key.kept).key);  // left as they were
    }
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(sorted, lines);
}

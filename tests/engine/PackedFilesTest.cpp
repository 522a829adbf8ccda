// The kinds of packed file that hold no word list, told by their first
// bytes, each at the edges of its check: what its tool writes is refused,
// and a plain list that starts almost alike stays a list.
#include "read/PackedFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using namespace lintrim;

namespace {
using namespace std::string_literals;

// A tar header block for a file named `name`, with `magic` at byte 257 and
// the checksum summed as bytes of the given sign, then moved by `off`.
std::string TarHeader(const std::string& name, const std::string& magic, bool signedSum,
                      int off = 0) {
    std::string block(kPackedCheckSize, '\0');
    block.replace(0, name.size(), name);
    block.replace(257, magic.size(), magic);
    block.replace(148, 8, 8, ' ');
    long sum = off;
    for (const char c : block)
        sum += signedSum ? static_cast<signed char>(c) : static_cast<unsigned char>(c);
    char field[24];
    std::snprintf(field, sizeof field, "%06lo", sum);  // as GNU tar: six digits, NUL, space
    block.replace(148, 7, field, 7);
    return block;
}

// Legacy lzma: properties, dictionary size and content size, little-endian.
std::string LzmaHeader(unsigned char properties, uint32_t dictionary, uint64_t content) {
    std::string header(1, static_cast<char>(properties));
    for (int i = 0; i < 4; ++i) header += static_cast<char>(dictionary >> (8 * i));
    for (int i = 0; i < 8; ++i) header += static_cast<char>(content >> (8 * i));
    return header + "\x01\x02"s;
}

// The POSIX magic and version ("\000" a NUL, then "00").
const std::string kPosix = "ustar\00000"s;

struct Start {
    std::string bytes;
    const char* kind;  // nullptr: a plain list
};

void PrintTo(const Start& start, std::ostream* os) {
    *os << (start.kind ? start.kind : "a plain list") << " (" << start.bytes.size() << " bytes)";
}

class PackedFileStart : public ::testing::TestWithParam<Start> {};

TEST_P(PackedFileStart, IsToldByMoreThanItsFirstBytes) {
    const Start& start = GetParam();
    const char* kind = PackedFileOfStart(start.bytes.data(), start.bytes.size());
    EXPECT_STREQ(kind, start.kind);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PackedFileStart,
    ::testing::Values(
        Start{"PK\x03\x04\x14\x00"s, "a zip archive"},
        Start{"PK\x05\x06"s + std::string(18, '\0'), "a zip archive"},
        Start{"PK\nPKZIP\n", nullptr}, Start{"7z\xbc\xaf\x27\x1c\x00\x04"s, "a 7z archive"},
        Start{"7z\n7zip\n", nullptr}, Start{"LZIP\x01\x0c"s, "an lzip file"},
        Start{"LZIP\x02\x0c"s, nullptr}, Start{"LZIP\nlzip\n", nullptr},
        Start{"\x1f\x9d\x90", "a compress (.Z) file"},
        Start{"\x1f\x9d\x89", "a compress (.Z) file"}, Start{"\x1f\x9d\xf0", nullptr},
        Start{"\x1f\x9d\x88", nullptr}, Start{"\x02\x21\x4c\x18", "a legacy lz4 file"},
        Start{LzmaHeader(0x5d, 1u << 23, UINT64_MAX), "an lzma file"},
        Start{LzmaHeader(0x00, 3u << 22, 1000), "an lzma file"},
        Start{LzmaHeader(0xe0, 1u << 30, (uint64_t{1} << 38) - 1), "an lzma file"},
        Start{LzmaHeader(0x00, UINT32_MAX, UINT64_MAX), nullptr},
        Start{LzmaHeader(0x5d, 2048, UINT64_MAX), nullptr},
        Start{LzmaHeader(0xe1, 1u << 23, UINT64_MAX), nullptr},
        Start{LzmaHeader(0x5d, 5u << 21, UINT64_MAX), nullptr},
        Start{LzmaHeader(0x5d, 1u << 23, uint64_t{1} << 38), nullptr},
        Start{LzmaHeader(0x5d, 1u << 23, UINT64_MAX).substr(0, 12), nullptr},
        Start{TarHeader("s", kPosix, false), "a tar archive"},
        Start{TarHeader("s", "ustar  \x00"s, false), "a tar archive"},
        Start{TarHeader("\xe9t\xe9", "ustar  \x00"s, true), "a tar archive"},
        Start{TarHeader("s", kPosix, false, 1), nullptr},
        Start{TarHeader("s", kPosix, false).substr(0, 511), nullptr},
        Start{TarHeader("s", "ustra\00000"s, false), nullptr},
        Start{std::string(255, 'a') + "\nmustard\n" + std::string(300, 'b'), nullptr}));
}  // namespace

// Names to formats, formats to encoders.
#include "write/OutputFormat.h"

#include <algorithm>
#include <cctype>
#include <utility>

#include "lintrim/Formats.h"
#include "write/Bzip2Encoder.h"
#include "write/CompressingWriter.h"
#include "write/GzipEncoder.h"
#include "write/Lz4Encoder.h"
#include "write/XzEncoder.h"
#include "write/ZstdEncoder.h"

namespace lintrim {

namespace {
bool EndsWith(const std::string& path, const std::string& suffix) {
    return path.size() > suffix.size() &&
           std::equal(suffix.rbegin(), suffix.rend(), path.rbegin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}
// The suffix that names a result in each compressed format.
constexpr std::pair<const char*, ListFormat> kSuffixes[] = {{".gz", ListFormat::kGzip},
                                                            {".xz", ListFormat::kXz},
                                                            {".zst", ListFormat::kZstd},
                                                            {".bz2", ListFormat::kBzip2},
                                                            {".lz4", ListFormat::kLz4}};
}  // namespace

ListFormat FormatOfCleanedList(const InputList& list) {
    return list.Format();
}

ListFormat FormatOfNamedResult(const std::string& path) {
    for (const auto& [suffix, format] : kSuffixes)
        if (EndsWith(path, suffix)) return format;
    return ListFormat::kPlain;
}

const std::vector<CompressedFormat>& CompressedFormats() {
    static const std::vector<CompressedFormat> formats = [] {
        std::vector<CompressedFormat> all;
        for (const auto& [suffix, format] : kSuffixes)
            all.push_back({FormatName(format), suffix, ListFormatBuilt(format)});
        return all;
    }();
    return formats;
}

std::unique_ptr<Encoder> EncoderOf(ListFormat format) {
    switch (format) {
        case ListFormat::kGzip:
            return GzipEncoder();
        case ListFormat::kXz:
            return XzEncoder();
        case ListFormat::kZstd:
            return ZstdEncoder();
        case ListFormat::kBzip2:
            return Bzip2Encoder();
        case ListFormat::kLz4:
            return Lz4Encoder();
        case ListFormat::kPlain:
            break;
    }
    return nullptr;
}

std::unique_ptr<ListWriter> WriterIn(ListFormat format, std::unique_ptr<ListWriter> to) {
    std::unique_ptr<Encoder> encoder = EncoderOf(format);
    if (!encoder) return to;
    return std::make_unique<CompressingWriter>(std::move(encoder), std::move(to));
}

}  // namespace lintrim

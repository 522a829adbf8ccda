// Packed files that hold no word list: archives (zip, 7z, tar) and the
// compressed formats the program does not read (lzip, legacy lzma, compress,
// legacy lz4). Read as lines, such a file would be replaced by a mangled
// copy of itself; it is recognised by its first bytes and refused instead.
// Each check asks for more than a magic number where the magic number is
// short or printable, so that a plain list that happens to start alike (a
// list holding "mustard" where a tar header has "ustar") stays a list.
#pragma once

#include <cstddef>
#include <string>

#include "read/ListFormat.h"

namespace lintrim {

// Bytes enough to recognise every kind: a tar archive's first header block.
inline constexpr size_t kPackedCheckSize = 512;

// The kind of packed file `bytes` start ("a zip archive", "an lzip file"),
// given up to kPackedCheckSize of them (fewer when the list is shorter);
// nullptr for anything else.
const char* PackedFileOfStart(const char* bytes, size_t size);

// Why a list of that kind is refused: "a zip archive, not a word list", or
// "a tar archive compressed with xz, not a word list" when it was found
// inside a compressed list.
std::string NotAWordList(const char* kind, ListFormat outer);

}  // namespace lintrim

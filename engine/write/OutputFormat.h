// The one place that decides the format a result is written in, so that
// every front end writes what the engine writes:
// - a list cleaned in place keeps the format it was read in (found by its
//   first bytes): a compressed list stays compressed under its name;
// - a file named for a result (the output, the removed lines) takes the
//   format its name ends with: .gz, .xz, .zst, .bz2 or .lz4 (in any case), else
//   plain text;
// - standard output is plain text, whatever follows in the pipeline.
#pragma once

#include <memory>
#include <string>

#include "read/InputList.h"
#include "read/ListFormat.h"
#include "write/Encoder.h"
#include "write/ListWriter.h"

namespace lintrim {

ListFormat FormatOfCleanedList(const InputList& list);
// "-" is standard output.
ListFormat FormatOfNamedResult(const std::string& path);

// The encoder of a compressed format; none for plain text.
std::unique_ptr<Encoder> EncoderOf(ListFormat format);
// `to` itself for plain text, else `to` behind a CompressingWriter.
std::unique_ptr<ListWriter> WriterIn(ListFormat format, std::unique_ptr<ListWriter> to);

}  // namespace lintrim

// The writer of a run that only counts: it takes every kept line and keeps
// none, so that a dry run goes through the same stages as a real one.
#pragma once

#include "write/ListWriter.h"

namespace lintrim {

class DiscardWriter : public ListWriter {
public:
    void Write(const char*, size_t) override {}
    void Commit() override {}
};

}  // namespace lintrim

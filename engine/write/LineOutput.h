// The kept lines on their way to the output: each in the run's form and
// letter case, ended by the run's line end; with a field chosen, the form is
// made of the field and the rest of the line, or none of it when the field
// is cut out; with counts, each after its count and a tab.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

#include "lintrim/RunPlan.h"
#include "load/LineBytes.h"
#include "load/LineField.h"
#include "write/ListWriter.h"

namespace lintrim {

class LineOutput {
public:
    // How each line is written. With hexKey, a `$HEX[..]` line (or field) is
    // encoded as the bytes it stands for.
    struct Shape {
        LineForm form = LineForm::kAsRead;
        bool hexKey = false;
        LineField field = {};
        bool cut = false;    // the field alone
        bool count = false;  // COUNT<TAB> first
        LetterCase letters = LetterCase::kAsRead;
    };

    LineOutput(ListWriter& to, std::string lineEnd, Shape shape)
        : m_to(to),
          m_end(std::move(lineEnd)),
          m_shape(shape),
          m_asRead(shape.form == LineForm::kAsRead && !shape.count &&
                   !(shape.field.on && shape.cut) &&
                   shape.letters == LetterCase::kAsRead) {}

    // `copies`: the line's count, when counts are written.
    void Put(const char* line, size_t length, uint64_t copies = 0) {
        if (m_asRead) return m_to.WriteLine(line, length, m_end.data(), m_end.size());
        PutShaped(line, length, copies);
    }
    // Bytes already in this output's form.
    void PutFormatted(const char* bytes, size_t size) { m_to.Write(bytes, size); }
    // The same shape and line end, written to `to`.
    LineOutput WritingTo(ListWriter& to) const { return {to, m_end, m_shape}; }

private:
    // With its count, in its form, ended.
    void PutShaped(const char* line, size_t length, uint64_t copies);
    void PutInForm(const char* line, size_t length);
    // The line with its ASCII letters in the output's case (a line as read:
    // the plan's check keeps a change of case from `$HEX[..]` forms).
    void PutCased(const char* line, size_t length);
    void PutBytes(const LineBytes& bytes);
    void PutEncoded(const LineBytes& bytes);
    // Decoded bytes that would read back as other fields hold the delimiter.
    bool SplitsFields(const LineBytes& bytes) const;

    ListWriter& m_to;
    std::string m_end;
    Shape m_shape;
    bool m_asRead;  // every line as it was read
};

}  // namespace lintrim

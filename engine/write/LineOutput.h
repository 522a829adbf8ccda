// The kept lines on their way to the output: each in the run's form and
// letter case, ended by the run's line end.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

#include "lintrim/RunPlan.h"
#include "load/LineBytes.h"
#include "write/ListWriter.h"

namespace lintrim {

class LineOutput {
public:
    // With hexKey, a `$HEX[..]` line is encoded as the bytes it stands for.
    LineOutput(ListWriter& to, std::string lineEnd, LineForm form, bool hexKey,
               LetterCase letters = LetterCase::kAsRead)
        : m_to(to), m_end(std::move(lineEnd)), m_form(form), m_hexKey(hexKey), m_case(letters) {}

    void Put(const char* line, size_t length) {
        if (m_case != LetterCase::kAsRead) {
            PutCased(line, length);
            return m_to.Write(m_end.data(), m_end.size());
        }
        if (m_form == LineForm::kAsRead)
            return m_to.WriteLine(line, length, m_end.data(), m_end.size());
        PutInForm(line, length);
        m_to.Write(m_end.data(), m_end.size());
    }
    // Bytes already in this output's form.
    void PutFormatted(const char* bytes, size_t size) { m_to.Write(bytes, size); }
    // The same form and line end, written to `to`.
    LineOutput WritingTo(ListWriter& to) const { return {to, m_end, m_form, m_hexKey, m_case}; }

private:
    void PutInForm(const char* line, size_t length);
    // The line with its ASCII letters in the output's case (a line as read:
    // the plan's check keeps a change of case from `$HEX[..]` forms).
    void PutCased(const char* line, size_t length);
    void PutBytes(const LineBytes& bytes);
    void PutEncoded(const LineBytes& bytes);

    ListWriter& m_to;
    std::string m_end;
    LineForm m_form;
    bool m_hexKey;
    LetterCase m_case;
};

}  // namespace lintrim

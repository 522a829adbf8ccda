// The kept lines split by length: one file a length in a folder, "8.txt"
// for the lines 8 long, as LineLength measures the lines written (the line
// end not counted). The lines come shortest first, so one file at a time
// takes lines; each is made as an output is (a new file beside its name,
// renamed over it) and held, whole, until Commit() renames them all, so
// that a run that fails or stops leaves none of them, written or half.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "load/LineLength.h"
#include "os/FileHandle.h"
#include "write/ListWriter.h"
#include "write/ReplacementFile.h"

namespace lintrim {

class LengthSplitFiles : public ListWriter {
public:
    // Lines ended by `lineEnd` go to files in `folder`.
    LengthSplitFiles(std::string folder, std::string lineEnd, LineLength length);

    // Takes whole lines, or parts of them, in order. Throws JobFailure
    // ("output list can't be written") when a length comes after a longer one.
    void Write(const char* bytes, size_t size) override;
    // Renames every file over its name, shortest first.
    void Commit() override;

private:
    // Lines [from, to), each ended by an LF, to the files of their lengths.
    void TakeLines(const char* from, const char* to);
    // The file of `length`, made when the first line of that length comes.
    ReplacementFile& FileFor(uint64_t length);
    bool SyncAll();
    void SyncFolder();

    std::string m_folder;
    std::string m_end;
    LineLength m_length;
    std::string m_partial;  // the start of a line not ended yet
    std::vector<std::unique_ptr<ReplacementFile>> m_files;
    uint64_t m_current = 0;  // the length of the last file
    FileHandle m_folderHandle;
};

}  // namespace lintrim

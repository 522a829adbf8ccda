// The new contents of a list, written beside it and put in its place only
// when complete. Until Commit() succeeds the list on disk is untouched; a
// replacement that is dropped (a failure, a cancelled run) removes its
// temporary file. A symbolic link is followed: its target is replaced and
// the link stays. The list's permission bits (and owner, where allowed) are
// kept.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

#include "FileHandle.h"

class ReplacementFile {
public:
    // Throws JobFailure("output list can't be opened") when the list may not
    // be written (read-only, or its folder refuses the new file).
    explicit ReplacementFile(const std::string& listPath);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Buffered; throws JobFailure("output list can't be written").
    void Write(const char* bytes, size_t size);
    // Flushes, syncs and renames over the list; throws as Write does.
    void Commit();

private:
    void Flush();
    void Discard();

    std::string m_target;     // the list's real path, links resolved
    std::string m_temporary;  // the new file beside it
    FileHandle m_file;
    mode_t m_mode = 0;
    uid_t m_owner = 0;
    gid_t m_group = 0;
    std::unique_ptr<char[]> m_buffer;
    size_t m_used = 0;
    bool m_committed = false;
};

// Opening a list for reading (ListReader reads it): a file, or standard
// input. A file stays open (and an input list locked) until the object is
// destroyed, so that a later pass can read it again and the replacement can
// be checked against it, unless it is released: a list that is only read
// then holds no descriptor between its readings, and each reading opens it
// afresh. A list that starts with the magic number of a compressed format
// is read inflated, whatever its name. A packed file that holds no word
// list (PackedFiles.h), plain or inside a compressed list, is refused when
// it is opened, before anything of the run is read or replaced; standard
// input, when its reading starts.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "lintrim/JobFailure.h"
#include "os/ScratchFile.h"
#include "read/ByteSource.h"
#include "read/ListFormat.h"
#include "read/ListLocation.h"

namespace lintrim {

class InputList {
public:
    // The input list at path, opened for reading and locked for the run;
    // nothing when it cannot be opened, is not a regular file (a folder, a
    // FIFO, a device) or is a packed file that holds no word list, with the
    // cause in `why`. Throws JobFailure("input list is in use by another
    // run") when another run holds the list.
    // A decoder of a compressed list may take up to `decoderLimit` bytes.
    static std::optional<InputList> OpenToReplace(const std::string& path, uint64_t decoderLimit,
                                                  FailureCause* why = nullptr);
    // A list that is only read (a reference list, or a list merged into
    // another output): not locked.
    static std::optional<InputList> OpenToRead(const std::string& path, uint64_t decoderLimit,
                                               FailureCause* why = nullptr);
    // Standard input. With a folder it is first copied whole to a scratch
    // file there, so that it can be read twice; throws JobFailure when that
    // copy fails, or ("Invalid input file") when it holds no word list.
    static InputList StandardInput(const std::optional<std::string>& spoolFolder,
                                   uint64_t decoderLimit);

    // The bytes to expect: the file's size, an estimate for a compressed
    // file, 0 when unknown (standard input).
    uint64_t Size() const { return m_size; }
    // The path as given ("-": standard input).
    const std::string& Name() const { return m_name; }
    bool HasLocation() const { return m_location.has_value(); }
    // The file the list was opened as, held or released; none for standard input.
    std::optional<FileIdentity> Identity() const {
        return m_location ? std::optional(m_location->Identity()) : m_released;
    }
    const ListLocation& Location() const { return *m_location; }
    // How the list is stored, found by its first bytes (for standard input,
    // once a reading has started).
    ListFormat Format() const { return m_format; }
    // The memory the list's decoder holds once it has started, as found
    // when the list was opened: 0 for a plain list, and for standard input
    // read as it comes.
    uint64_t DecoderMemory() const { return m_decoderMemory; }
    // A new reading from the start of the list; its reads throw JobFailure
    // with `failureText`. A released list is opened again by its path and
    // must be the file that was opened first, unchanged; else it throws
    // JobFailure("input list changed while it was cleaned") naming the list.
    std::unique_ptr<ByteSource> OpenSource(const char* failureText);
    // Closes the list until its next reading (a list no result replaces:
    // a run over many lists would otherwise run out of descriptors).
    void Release();

private:
    InputList(ListLocation location, std::string name, uint64_t decoderLimit);
    InputList() = default;
    static std::optional<InputList> Checked(InputList list, FailureCause* why);
    // Notes the format, the sizes and the decoder's memory of the list
    // stored at `fd`, `size` bytes; returns why it is refused, or nothing.
    std::optional<std::string> Examine(int fd, uint64_t size);
    // The kind of packed file inside a compressed list, or nullptr.
    const char* PackedFileInside(int fd);
    std::unique_ptr<ByteSource> OpenedSource(const char* failureText);
    std::unique_ptr<ByteSource> ReopenedSource(const char* failureText) const;
    std::unique_ptr<ByteSource> StandardInputSource(const char* failureText);

    std::string m_name;
    std::optional<ListLocation> m_location;
    std::optional<ScratchFile> m_spool;      // standard input, copied
    std::optional<FileIdentity> m_released;  // the file to find again
    uint64_t m_size = 0;
    uint64_t m_fileSize = 0;  // bytes on disk
    uint64_t m_decoderMemory = 0;
    uint64_t m_decoderLimit = 0;  // the most a decoder may take
    ListFormat m_format = ListFormat::kPlain;
    bool m_read = false;  // standard input can be read once
};

}  // namespace lintrim

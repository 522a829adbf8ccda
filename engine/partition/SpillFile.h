// A temporary file for the part of a run that does not fit its memory
// budget: a scratch file, which has no name and vanishes however the
// process ends, only ever appended to, then read back.
//
// Its bytes are written as a stream of blocks, each packed by SpillCodec
// on the thread that appends it and followed by a check of what was
// written, so a spill takes a fraction of the disk it would. Offsets and
// sizes are those of the bytes appended; a small index in memory (two
// sizes a block, and every few blocks where it starts) finds the block
// that holds an offset. Each append ends its last block, so a run laid at
// the file's end starts a block of its own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "os/ByteBuffer.h"
#include "os/ScratchFile.h"

namespace lintrim {

class SpillFile {
public:
    SpillFile() = default;
    // A new empty file in `folder`; throws JobFailure when none can be made.
    static SpillFile Create(const std::string& folder);

    explicit operator bool() const { return m_file.has_value(); }
    // The bytes appended.
    uint64_t Size() const { return m_size; }
    // The bytes they take on disk.
    uint64_t DiskSize() const { return m_diskSize; }
    // The folder the file is in, which its failures name.
    const std::string& Folder() const { return m_folder; }

    // Throws JobFailure: "not enough disk space for temporary files" when
    // the disk is full, "temporary files can't be written" otherwise.
    void Append(const char* bytes, size_t size);
    // Appends the bytes of each buffer in turn, packed together.
    void Append(const std::vector<ByteBuffer>& buffers);
    // Reads `size` bytes from `offset`; throws JobFailure.
    void ReadAt(char* to, size_t size, uint64_t offset) const;
    // Throws JobFailure("temporary files can't be read"): the file holds
    // less than was written to it.
    [[noreturn]] void CutShort() const;
    // The free bytes of the file system the file is on.
    uint64_t FreeSpace() const;
    // Closes it; its space goes back to the file system.
    void Drop() { *this = SpillFile(); }

    // The bytes a block holds, packed at once.
    static size_t BlockBytes();
    // What `size` bytes take on disk appended at once, to foresee the disk
    // a spill needs from a sample.
    static uint64_t DiskSizeOf(const char* bytes, size_t size);
    // Blocks of `bytes` bytes (0: the usual size), so that tests cut
    // records at block ends.
    static void SetBlockSizeForTesting(size_t bytes);

private:
    struct Block {
        uint32_t stored;  // on disk, before its check
        uint32_t size;    // appended
    };
    // Where a block starts, appended and on disk.
    struct Place {
        uint64_t at = 0;
        uint64_t diskAt = 0;
    };

    SpillFile(ScratchFile file, std::string folder);

    void Stage(const char* bytes, size_t size);
    void EndBlock();
    void WriteBlock(const char* bytes, size_t size);
    void WriteAll(const char* bytes, size_t size);
    // The block holding `offset`, with its place; the count of blocks when
    // none does.
    size_t Find(uint64_t offset, Place& place) const;
    // Reads block `b`, at `place`, into `to`.
    void Load(size_t b, const Place& place, char* to) const;
    [[noreturn]] void Damaged() const;

    std::optional<ScratchFile> m_file;
    std::string m_folder;
    uint64_t m_id = 0;  // tells its blocks from those of any other file in a thread's cache
    uint64_t m_size = 0;
    uint64_t m_diskSize = 0;
    std::vector<Block> m_blocks;
    std::vector<Place> m_marks;  // where every kMarkEvery-th block starts
};

}  // namespace lintrim

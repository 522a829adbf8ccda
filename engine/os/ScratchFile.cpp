// Scratch files are temporary files that are never linked: the named kind
// is unlinked as soon as it exists.
#include "os/ScratchFile.h"

#include <fcntl.h>

#include <optional>

#include "lintrim/JobFailure.h"
#include "lintrim/StatusTexts.h"
#include "os/SystemCalls.h"
#include "os/TemporaryFile.h"

namespace lintrim {

ScratchFile ScratchFile::Create(const std::string& folder) {
    const FileHandle kept(Sys().Open(folder.c_str(), O_PATH | O_DIRECTORY, 0));
    if (!kept.IsOpen())
        throw JobFailure(status::kTemporaryCantBeMade, FailureCause::FromOpen(), folder);
    FailureCause why;
    std::optional<TemporaryFile> file = TemporaryFile::Create(kept.Get(), "", why, O_RDWR);
    if (!file) throw JobFailure(status::kTemporaryCantBeMade, std::move(why), folder);
    file->Unlink();
    return ScratchFile(file->ReleaseFile());
}

}  // namespace lintrim

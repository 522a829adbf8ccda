// Same-file checks by identity.
#include "read/FileNames.h"

#include <filesystem>
#include <optional>

#include "read/ListLocation.h"

namespace lintrim {

namespace {
std::optional<FileIdentity> FolderOf(const std::filesystem::path& path) {
    return FileIdentity::OfPath(path.has_parent_path() ? path.parent_path().string() : ".");
}
}  // namespace

bool NameOneFile(const std::string& a, const std::string& b) {
    const std::optional<FileIdentity> one = FileIdentity::OfPath(a);
    const std::optional<FileIdentity> two = FileIdentity::OfPath(b);
    if (one || two) return one && two && one->SameFile(*two);
    const std::filesystem::path first(a), second(b);
    if (first.filename() != second.filename()) return false;
    const std::optional<FileIdentity> here = FolderOf(first), there = FolderOf(second);
    return here && there ? here->SameFile(*there) : a == b;
}

}  // namespace lintrim

// Telling whether two names reach one file, without resolving a link in the
// program: the kernel follows each name as it would for any open, and the
// files it reaches are compared by their identity (device and inode; on
// Windows the volume and the file's index).
#pragma once

#include <string>

namespace lintrim {

// Whether `a` and `b` name one file. Names of files that do not exist yet
// name one file when their last parts are equal and their folders are one
// folder.
bool NameOneFile(const std::string& a, const std::string& b);

}  // namespace lintrim

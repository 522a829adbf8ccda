// What failed, as a run reports it (ListOutcome::failure, JobFailure) and
// front ends show it. Users and scripts read them, so they are kept in one
// place and never reworded lightly.
#pragma once

namespace lintrim {

namespace status {
inline constexpr const char* kInvalidInputFile = "Invalid input file";
inline constexpr const char* kInvalidRefFile = "Invalid ref file";
inline constexpr const char* kInputCantBeRead = "input list can't be read";
inline constexpr const char* kNotEnoughMemory = "not enough memory";
inline constexpr const char* kLineTooLong = "line too long (4 GiB or more)";
inline constexpr const char* kLineOverBudget = "line too long for the memory budget";
inline constexpr const char* kOutputCantBeOpened = "output list can't be opened";
inline constexpr const char* kOutputCantBeWritten = "output list can't be written";
inline constexpr const char* kTempCantBeWritten = "temporary files can't be written";
inline constexpr const char* kTempCantBeRead = "temporary files can't be read";
inline constexpr const char* kNoDiskSpace = "not enough disk space for temporary files";
}  // namespace status
namespace status {
inline constexpr const char* kListInUse = "input list is in use by another run";
inline constexpr const char* kInputChanged = "input list changed while it was cleaned";
inline constexpr const char* kTemporaryCantBeMade = "temporary file can't be made";
}  // namespace status

}  // namespace lintrim

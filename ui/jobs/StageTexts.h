// The texts the window's status line shows as a list goes through its
// stages. Users read them, so they are kept in one place.
#pragma once

namespace stage_text {
inline constexpr const char* kCounting = "counting...";
inline constexpr const char* kReading = "reading...";
inline constexpr const char* kSorting = "sorting...";
inline constexpr const char* kFindingDupes = "finding dupes...";
inline constexpr const char* kFindingDupe = "finding dupe...";
inline constexpr const char* kRestoringOrder = "restoring original order...";
inline constexpr const char* kWriting = "writing...";
}  // namespace stage_text

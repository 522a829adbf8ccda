// The skin the program's windows share: the face colour, the greyed text
// that reads on it, and the small font the dialog units follow from.
#pragma once

#include <QColor>

namespace skin {
inline const char* const kFontFamily = "DejaVu Sans";
inline constexpr int kFontPoints = 7;
inline const QColor kBackground(176, 184, 192);
// Greyed text dark enough to read on that background, at 4.9:1 (the
// disabled status line with its credit, the reference caption before it is
// in use, the options and go while a job runs).
inline const QColor kGrayText(64, 68, 76);
}  // namespace skin

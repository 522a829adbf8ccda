// The fixed name buffers of the window's choosers and of a dropped path. A
// chooser hands its answer over as the folder followed by every chosen name,
// each terminated, and one more terminator; an answer that would not fit its
// buffer counts as no answer, so a selection never arrives cut short.
#pragma once

#include <QString>
#include <QStringList>

inline constexpr int kInputNameBuffer = 260;
inline constexpr int kRefNameBuffer = 5000;
inline constexpr int kDropPathBuffer = 1000;

// Characters the answer needs: one file as its full path and terminator;
// several as folder, names and terminators, plus the closing terminator.
int NameBufferLength(const QStringList& paths);

// The answer if it fits `bufferChars`, else no answer.
QStringList FitNameBuffer(const QStringList& paths, int bufferChars);

// A dropped path cut to what the drop buffer holds with its terminator.
QString FitDropPath(const QString& path);

// The part of a path after its last separator.
QString FileNameOf(const QString& path);

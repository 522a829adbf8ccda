// Paths as the window takes them: whole, never cut, as the bytes the system
// names the file by. A dropped file comes as a URL whose percent-encoding
// gives those bytes exactly, whatever their encoding. A chooser answers in
// text, which is turned back into bytes the way Qt made text of them; a name
// whose bytes are not UTF-8 does not survive that, and is refused rather
// than taken for another file's.
#pragma once

#include <QString>
#include <QUrl>
#include <optional>
#include <string>

// The bytes of a dropped local file's path; none for anything else.
std::optional<std::string> DroppedPath(const QUrl& url);
// The bytes of a path a chooser gave; none when they cannot be had.
std::optional<std::string> ChosenPath(const QString& path);
// A path as text, for the status line.
QString Shown(const std::string& path);

// The window's options as the options dialog shows them and as they are
// kept between runs (QSettings): each a plain value, turned into the
// options of a run as it starts. The defaults are the window as it has
// always been: CR LF, in place, nothing kept aside, lines compared exactly.
#pragma once

#include <QSettings>
#include <QString>

#include "WindowJob.h"

struct WindowSettings {
    enum LineEndChoice { kCrLf = 0, kLf = 1, kAsRead = 2 };

    int lineEnd = kCrLf;
    bool beside = false;  // each result in a new file beside its list
    QString besideSuffix = QStringLiteral("-clean");
    bool keepRemoved = false;  // the removed lines kept in a file
    QString removedFile;
    bool ignoreCase = false;
    bool hexKey = false;
    int minLength = 0;  // bytes; 0: no shortest
    int maxLength = 0;  // bytes; 0: no longest
    int memoryMiB = 0;  // 0: the engine's default

    bool operator==(const WindowSettings&) const = default;

    // What a run takes of them.
    WindowOptions Options() const;
    static WindowSettings Load(QSettings& store);
    void Save(QSettings& store) const;
};

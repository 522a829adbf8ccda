// The window's options, kept and turned into a run's.
#include "WindowSettings.h"

#include <QFile>

#include "lintrim/RunPlan.h"

using namespace lintrim;

WindowOptions WindowSettings::Options() const {
    WindowOptions options;
    options.lineEnd = lineEnd == kLf       ? LineEnd::kLf
                      : lineEnd == kAsRead ? LineEnd::kAsRead
                                           : LineEnd::kCrLf;
    if (beside) options.besideSuffix = QFile::encodeName(besideSuffix).toStdString();
    if (keepRemoved) options.removedFile = QFile::encodeName(removedFile).toStdString();
    options.ignoreCase = ignoreCase;
    options.hexKey = hexKey;
    options.minLength = static_cast<uint64_t>(minLength);
    options.maxLength = static_cast<uint64_t>(maxLength);
    options.memoryBudget = static_cast<uint64_t>(memoryMiB) << 20;
    return options;
}

WindowSettings WindowSettings::Load(QSettings& store) {
    WindowSettings s;
    s.lineEnd = store.value(QStringLiteral("lineEnd"), s.lineEnd).toInt();
    s.beside = store.value(QStringLiteral("beside"), s.beside).toBool();
    s.besideSuffix = store.value(QStringLiteral("besideSuffix"), s.besideSuffix).toString();
    s.keepRemoved = store.value(QStringLiteral("keepRemoved"), s.keepRemoved).toBool();
    s.removedFile = store.value(QStringLiteral("removedFile"), s.removedFile).toString();
    s.ignoreCase = store.value(QStringLiteral("ignoreCase"), s.ignoreCase).toBool();
    s.hexKey = store.value(QStringLiteral("hexKey"), s.hexKey).toBool();
    s.minLength = store.value(QStringLiteral("minLength"), s.minLength).toInt();
    s.maxLength = store.value(QStringLiteral("maxLength"), s.maxLength).toInt();
    s.memoryMiB = store.value(QStringLiteral("memoryMiB"), s.memoryMiB).toInt();
    return s;
}

void WindowSettings::Save(QSettings& store) const {
    store.setValue(QStringLiteral("lineEnd"), lineEnd);
    store.setValue(QStringLiteral("beside"), beside);
    store.setValue(QStringLiteral("besideSuffix"), besideSuffix);
    store.setValue(QStringLiteral("keepRemoved"), keepRemoved);
    store.setValue(QStringLiteral("removedFile"), removedFile);
    store.setValue(QStringLiteral("ignoreCase"), ignoreCase);
    store.setValue(QStringLiteral("hexKey"), hexKey);
    store.setValue(QStringLiteral("minLength"), minLength);
    store.setValue(QStringLiteral("maxLength"), maxLength);
    store.setValue(QStringLiteral("memoryMiB"), memoryMiB);
}

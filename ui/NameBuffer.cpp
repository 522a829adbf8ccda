// Name-buffer arithmetic of the choosers and of dropped paths.
#include "NameBuffer.h"

namespace {
QString FolderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash);
}
}  // namespace

int NameBufferLength(const QStringList& paths) {
    if (paths.isEmpty()) return 0;
    if (paths.size() == 1) return static_cast<int>(paths.front().size()) + 1;
    qsizetype length = FolderOf(paths.front()).size() + 1;
    for (const QString& path : paths) length += FileNameOf(path).size() + 1;
    return static_cast<int>(length + 1);
}

QStringList FitNameBuffer(const QStringList& paths, int bufferChars) {
    if (NameBufferLength(paths) > bufferChars) return {};
    return paths;
}

QString FitDropPath(const QString& path) {
    return path.left(kDropPathBuffer - 1);
}

QString FileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

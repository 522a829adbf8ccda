// Dropped and chosen paths as bytes.
#include "LocalPaths.h"

#include <QFile>
#include <QFileInfo>

std::optional<std::string> DroppedPath(const QUrl& url) {
    if (!url.isLocalFile() || !url.host().isEmpty()) return std::nullopt;
    const QByteArray bytes =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    if (bytes.isEmpty()) return std::nullopt;
    return bytes.toStdString();
}

// A name whose bytes were not UTF-8 came as replacement characters; the
// bytes made of those name no file.
std::optional<std::string> ChosenPath(const QString& path) {
    if (path.isEmpty()) return std::nullopt;
    if (path.contains(QChar::ReplacementCharacter) && !QFileInfo::exists(path)) return std::nullopt;
    return QFile::encodeName(path).toStdString();
}

QString Shown(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

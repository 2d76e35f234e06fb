#pragma once
// File paths between Qt and the core. Paths are the file system's own bytes
// (UTF-8 on Linux), unlike byte-carrying texts, which are Latin-1: a path with
// non-ASCII characters must survive the trip unchanged.
#include <QFile>
#include <QString>

#include <string>

namespace zorp::ui {

inline std::string ToNativePath(const QString& path)
{
    const QByteArray encoded = QFile::encodeName(path);
    return std::string(encoded.constData(), size_t(encoded.size()));
}

inline QString FromNativePath(const std::string& path)
{
    return QFile::decodeName(QByteArray(path.data(), qsizetype(path.size())));
}

} // namespace zorp::ui

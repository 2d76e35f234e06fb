#include "TemporaryProgramDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zorp::test {

TemporaryProgramDirectory::TemporaryProgramDirectory() : saved_(CurrentLocations())
{
    const std::string dir = QFile::encodeName(dir_.path()).toStdString();
    // No user folder: a test must never read the real user's copies.
    SetLocations({dir, dir, std::string(), false});
}

TemporaryProgramDirectory::~TemporaryProgramDirectory() { SetLocations(saved_); }

QString TemporaryProgramDirectory::write(const QString& name, const QByteArray& bytes) const
{
    const QString path = dir_.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(path));
    return QFileInfo(path).absoluteFilePath();
}

void TemporaryProgramDirectory::removeFile(const QString& name) const { QFile::remove(dir_.filePath(name)); }

QString TemporaryProgramDirectory::useUserFolder()
{
    const QString user = dir_.filePath(QStringLiteral("user"));
    QDir().mkpath(user);
    Locations at = CurrentLocations();
    at.userDir = QFile::encodeName(user).toStdString();
    SetLocations(at);
    return user;
}

} // namespace zorp::test

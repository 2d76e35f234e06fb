#pragma once
// A temporary folder that the locations service takes for the program's
// folder (build-tree layout: definitions, templates and codec in one place)
// while the object lives; the locations in force before come back after.
// Optionally a second temporary folder stands for the user's own data.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include "rom/Locations.h"

namespace zorp::test {

class TemporaryProgramDirectory {
public:
    TemporaryProgramDirectory();
    ~TemporaryProgramDirectory();
    TemporaryProgramDirectory(const TemporaryProgramDirectory&) = delete;
    TemporaryProgramDirectory& operator=(const TemporaryProgramDirectory&) = delete;

    bool isValid() const { return dir_.isValid(); }
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }
    // Writes a file (folders created as needed) and returns its full path.
    QString write(const QString& name, const QByteArray& bytes) const;
    void removeFile(const QString& name) const;

    // Makes "user" inside the folder the user's data folder and returns it.
    QString useUserFolder();

private:
    QTemporaryDir dir_;
    Locations saved_;
};

} // namespace zorp::test

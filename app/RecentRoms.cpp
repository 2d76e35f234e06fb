#include "RecentRoms.h"

#include <QFileInfo>

#include "Platform.h"

namespace zorp::ui {

namespace {

QString KeyOf(int index) { return QStringLiteral("File") + QString::number(index + 1); }

} // namespace

QStringList RecentRoms::paths() const
{
    QStringList paths;
    for (int i = 0; i < kMaxEntries; ++i) {
        const QString path = store_.value(KeyOf(i), QString());
        // A hand-edited store may hold gaps or the same file twice.
        if (!path.isEmpty() && !paths.contains(path))
            paths << path;
    }
    return paths;
}

void RecentRoms::add(const QString& path)
{
    QStringList paths = this->paths();
    paths.removeAll(path);
    paths.prepend(path);
    write(paths);
}

QStringList RecentRoms::dropMissing()
{
    QStringList kept;
    QStringList dropped;
    for (const QString& path : paths())
        (QFileInfo(path).isFile() ? kept : dropped) << path;
    if (!dropped.isEmpty())
        write(kept);
    return dropped;
}

void RecentRoms::clear() { write({}); }

void RecentRoms::write(const QStringList& paths)
{
    for (int i = 0; i < kMaxEntries; ++i) {
        if (i < paths.size())
            store_.setValue(KeyOf(i), paths[i]);
        else
            store_.remove(KeyOf(i));
    }
}

} // namespace zorp::ui

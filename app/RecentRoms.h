#pragma once
// The "Recent ROMs" list of the main menu: the last ten ROM files opened,
// newest first, kept in the settings section "RecentROMs" as File1..File10.
#include <QStringList>

namespace zorp::ui {

class SettingsStore;

class RecentRoms {
public:
    static constexpr int kMaxEntries = 10;

    explicit RecentRoms(SettingsStore& store) : store_(store) {}

    QStringList paths() const; // newest first, empty keys skipped
    // Puts path at the top; an earlier entry for the same file goes, and so
    // does the oldest beyond kMaxEntries.
    void add(const QString& path);
    // Drops the entries whose file no longer exists and returns them.
    QStringList dropMissing();
    void clear();

private:
    void write(const QStringList& paths);
    SettingsStore& store_;
};

} // namespace zorp::ui

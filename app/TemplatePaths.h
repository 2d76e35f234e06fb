#pragma once
// Where the template of each game lives: the settings store holds one key per
// game identifier; a game without a key uses the file named after its
// identifier in the shipped templates folder, or the user's own copy of it
// (rom/Locations.h). Paths inside those folders are stored with the "*ZORP*"
// token so the setting survives moving or installing the program.
#include <QString>

namespace zorp::ui {

class SettingsStore;

// "*ZORP*/" + id + ".ZORP".
QString DefaultTemplatePath(const QString& gameId);

// True for the default path, also in the "*ZORP*\" form stored by older
// versions (both mean the same file).
bool IsDefaultTemplatePath(const QString& gameId, const QString& path);

// The stored path of a game, or its default when the key is absent.
QString StoredTemplatePath(const SettingsStore& settings, const QString& gameId);

// "*ZORP*" at the start becomes the templates folder (the user's copy first).
QString ExpandTemplatePath(const QString& path);

// A path inside the templates folder or the user's folder becomes "*ZORP*/...".
QString CollapseTemplatePath(const QString& path);

} // namespace zorp::ui

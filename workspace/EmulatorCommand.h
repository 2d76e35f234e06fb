#pragma once
// The emulator that Play starts: a command line with a %ROM% placeholder,
// kept in the "Preferences" settings under the key "Emulator". A stored empty
// line means the user chose to have none.
#include <QString>

#include "Platform.h"

namespace zorp::ui {

// "blastem %ROM%" or "mednafen %ROM%" for the first of the two installed (on
// the PATH or in /usr/games), else empty.
QString DefaultEmulatorCommand(const ProgramLauncher& programs);

// The stored command line. On first use (nothing stored yet) the default is
// found, stored and returned. Empty without a settings store.
QString EmulatorCommand(const Platform& platform);
void SetEmulatorCommand(const Platform& platform, const QString& commandLine);

} // namespace zorp::ui

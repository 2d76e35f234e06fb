#include "EmulatorCommand.h"

namespace zorp::ui {

namespace {

const QString kKey = QStringLiteral("Emulator");

} // namespace

QString DefaultEmulatorCommand(const ProgramLauncher& programs)
{
    for (const char* name : {"blastem", "mednafen"}) {
        if (!programs.findProgram(QLatin1String(name)).isEmpty())
            return QLatin1String(name) + QStringLiteral(" %ROM%");
    }
    return QString();
}

QString EmulatorCommand(const Platform& platform)
{
    if (!platform.preferences)
        return QString();
    if (platform.preferences->contains(kKey))
        return platform.preferences->value(kKey, QString());
    // Nothing found is not stored: an emulator installed later is still found.
    const QString found = platform.programs ? DefaultEmulatorCommand(*platform.programs) : QString();
    if (!found.isEmpty())
        platform.preferences->setValue(kKey, found);
    return found;
}

void SetEmulatorCommand(const Platform& platform, const QString& commandLine)
{
    if (platform.preferences)
        platform.preferences->setValue(kKey, commandLine.trimmed());
}

} // namespace zorp::ui

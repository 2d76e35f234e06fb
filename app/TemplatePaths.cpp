#include "TemplatePaths.h"

#include "CoreMessage.h"
#include "Platform.h"
#include "rom/PubFunctions.h"

namespace zorp::ui {

QString DefaultTemplatePath(const QString& gameId)
{
    return QLatin1String(kProgramDirToken) + QLatin1Char('/') + gameId + QStringLiteral(".ZORP");
}

bool IsDefaultTemplatePath(const QString& gameId, const QString& path)
{
    const QString backslashForm =
        QLatin1String(kProgramDirToken) + QLatin1Char('\\') + gameId + QStringLiteral(".ZORP");
    return path == DefaultTemplatePath(gameId) || path == backslashForm;
}

QString StoredTemplatePath(const SettingsStore& settings, const QString& gameId)
{
    return settings.value(gameId, DefaultTemplatePath(gameId));
}

QString ExpandTemplatePath(const QString& path)
{
    return FromNativePath(ExpandProgramDir(ToNativePath(path)));
}

QString CollapseTemplatePath(const QString& path)
{
    return FromNativePath(CollapseProgramDir(ToNativePath(path)));
}

} // namespace zorp::ui

#include "Startup.h"

#include <QApplication>
#include <QDir>
#include <QPointer>
#include <QWidget>

#include <cstdio>

#include "AppContext.h"
#include "frmMainMenu.h"
#include "CoreMessage.h"
#include "OstrelLoader.h"
#include "rom/Locations.h"
#include "rom/RomDefinitions.h"
#include "template/ProgramVersion.h"

namespace zorp::ui {

void SetApplicationNames()
{
    QCoreApplication::setOrganizationName(QStringLiteral("ZORP-II"));
    QCoreApplication::setApplicationName(QStringLiteral("Sonic the Hedgehog Quorvane"));
    QCoreApplication::setApplicationVersion(QString::fromStdString(ProgramVersionText()));
}

CodecLoad LoadCodec(const QString& codecDirectory)
{
    CodecLoad result;
    const OstrelLoadResult loaded = LoadOstrel(codecDirectory);
    result.codec = loaded.codec;
    result.error = loaded.error;
    return result;
}

QString UsageText()
{
    return QStringLiteral("Usage: zorp [ROM...]\n"
                          "Starts the ZORP-II main menu; with ROM files (or S3S files), also opens each\n"
                          "for hacking in a workspace of its own, as the menu's ROM button does.\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help     Prints this text.\n"
                          "  --version      Prints the version.\n"
                          "  --locations    Prints where the definitions, the templates, the codec library\n"
                          "                 and the user's own data are, and ends; exit status 1 when\n"
                          "                 the definitions, the templates or the codec cannot be used.\n");
}

std::optional<int> AnswerWithoutWindows(const QStringList& arguments)
{
    if (arguments.size() != 1)
        return std::nullopt;
    if (arguments[0] == QLatin1String("--help") || arguments[0] == QLatin1String("-h")) {
        std::fputs(qPrintable(UsageText()), stdout);
        return 0;
    }
    if (arguments[0] == QLatin1String("--version")) {
        std::printf("zorp %s\n", ProgramVersionText().c_str());
        return 0;
    }
    return std::nullopt;
}

StartedProgram StartProgram(AppContext& context, const QStringList& arguments)
{
    StartedProgram started;
    if (const std::optional<int> status = AnswerWithoutWindows(arguments)) {
        started.exitStatus = *status;
        return started;
    }
    // An option this program does not know is a mistake, not a file.
    for (const QString& argument : arguments) {
        if (argument.startsWith(QLatin1Char('-'))) {
            std::fputs(qPrintable(UsageText()), stderr);
            started.exitStatus = 2;
            return started;
        }
    }

    auto menu = std::make_unique<frmMainMenu>(context);
    if (!menu->StartUp()) {
        started.exitStatus = 1;
        return started;
    }
    menu->show();
    for (const QString& rom : arguments)
        menu->OpenROM(rom);
    started.menu = std::move(menu);
    return started;
}

int PrintLocations(const CodecLoad& codec)
{
    const Locations& at = CurrentLocations();
    const RomDefinitionsLoad definitions = LoadRomDefinitions();
    const QString dataDir = FromNativePath(at.dataDir);
    const qsizetype templates =
        QDir(dataDir).entryList({QStringLiteral("*.ZORP")}, QDir::Files | QDir::Readable).size();
    const QString report =
        QStringLiteral("layout: %1\ndefinitions: %2 (%3)\ntemplates: %4 (%5 shipped)\ncodec library: %6 (%7)\n"
                       "user data: %8\n")
            .arg(at.installed ? QStringLiteral("installed") : QStringLiteral("build tree"),
                 FromNativePath(AppFilePath(kRomDefinitionsFileName)),
                 definitions.ok() ? QStringLiteral("%1 games").arg(definitions.table.records().size())
                                  : FromBytes(definitions.error->title),
                 dataDir, QString::number(templates), FromNativePath(CodecLibraryPath()),
                 codec.codec ? QStringLiteral("loaded") : codec.error,
                 at.userDir.empty() ? QStringLiteral("none") : FromNativePath(at.userDir));
    std::fputs(report.toLocal8Bit().constData(), stdout);
    return definitions.ok() && templates > 0 && codec.codec ? 0 : 1;
}

void DeleteRemainingWindows()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (!widget->parentWidget())
            windows << widget;
    }
    // Deleting one window may delete others it owns; the guards notice.
    for (const QPointer<QWidget>& window : windows)
        delete window.data();
}

} // namespace zorp::ui

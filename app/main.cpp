// zorp: the ZORP-II program. Sets up the application, the platform services
// and the codec, then hands over to the main menu.
#include <QApplication>
#include <QStandardPaths>

#include "AppContext.h"
#include "CoreMessage.h"
#include "QtPlatform.h"
#include "Startup.h"
#include "frmMainMenu.h"
#include "rom/Locations.h"

int main(int argc, char* argv[])
{
    using namespace zorp::ui;

    {
        QStringList raw;
        for (int i = 1; i < argc; ++i)
            raw << QString::fromLocal8Bit(argv[i]);
        if (const std::optional<int> status = AnswerWithoutWindows(raw))
            return *status;
    }
    QApplication app(argc, argv);
    // The settings store and the user's data folder are kept under the
    // program's title.
    SetApplicationNames();
    QGuiApplication::setDesktopFileName(QStringLiteral("zorp"));
    zorp::SetLocations(zorp::LocationsForExecutable(
        ToNativePath(QCoreApplication::applicationDirPath()),
        ToNativePath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))));

    QtPlatform qtPlatform;
    AppContext context;
    context.platform = qtPlatform.platform();
    const CodecLoad codec = LoadCodec(FromNativePath(zorp::CurrentLocations().codecDir));
    context.codec = codec.codec;
    if (!codec.codec)
        qWarning("zorp: the codec plug-in was not loaded: %s", qPrintable(codec.error));

    // QApplication has taken its own options out of argv.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (arguments == QStringList{QStringLiteral("--locations")})
        return PrintLocations(codec);

    StartedProgram started = StartProgram(context, arguments);
    if (!started.menu)
        return started.exitStatus;
    const int status = QApplication::exec();
    // Windows go before the context they refer to.
    started.menu.reset();
    DeleteRemainingWindows();
    return status;
}

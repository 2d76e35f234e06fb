// zorp: the ZORP-II program. Sets up the application, the platform services
// and the codec, then hands over to the main menu.
#include <QApplication>

#include "AppContext.h"
#include "CoreMessage.h"
#include "QtPlatform.h"
#include "Startup.h"
#include "frmMainMenu.h"
#include "rom/PubFunctions.h"

int main(int argc, char* argv[])
{
    using namespace zorp::ui;

    QApplication app(argc, argv);
    // The settings store is kept under the program's title.
    QCoreApplication::setApplicationName(QStringLiteral("Sonic the Hedgehog Quorvane"));
    const QString programDirectory = QCoreApplication::applicationDirPath();
    zorp::SetProgramDirectory(ToNativePath(programDirectory));

    QtPlatform qtPlatform;
    AppContext context;
    context.platform = qtPlatform.platform();
    const CodecLoad codec = LoadCodec(programDirectory);
    context.codec = codec.codec;
    if (!codec.codec)
        qWarning("zorp: the codec plug-in was not loaded: %s", qPrintable(codec.error));

    // QApplication has taken its own options out of argv.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    StartedProgram started = StartProgram(context, arguments);
    if (!started.menu)
        return started.exitStatus;
    const int status = QApplication::exec();
    // Windows go before the context they refer to.
    started.menu.reset();
    DeleteRemainingWindows();
    return status;
}

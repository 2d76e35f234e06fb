#include "Startup.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include <cstdio>

#include "AppContext.h"
#include "frmMainMenu.h"
#include "OstrelLoader.h"

namespace zorp::ui {

CodecLoad LoadCodec(const QString& programDirectory)
{
    CodecLoad result;
    const OstrelLoadResult loaded = LoadOstrel(programDirectory);
    result.codec = loaded.codec;
    result.error = loaded.error;
    return result;
}

QString UsageText()
{
    return QStringLiteral("Usage: zorp [ROM]\n"
                          "Starts the ZORP-II main menu; with a ROM file (or S3S file), also opens it\n"
                          "for hacking as the menu's ROM button does.\n");
}

StartedProgram StartProgram(AppContext& context, const QStringList& arguments)
{
    StartedProgram started;
    if (arguments.size() == 1 &&
        (arguments[0] == QLatin1String("--help") || arguments[0] == QLatin1String("-h"))) {
        std::fputs(qPrintable(UsageText()), stdout);
        return started;
    }
    // One ROM at most; an option this program does not know is a mistake, not a file.
    if (arguments.size() > 1 || (arguments.size() == 1 && arguments[0].startsWith(QLatin1Char('-')))) {
        std::fputs(qPrintable(UsageText()), stderr);
        started.exitStatus = 2;
        return started;
    }

    auto menu = std::make_unique<frmMainMenu>(context);
    if (!menu->StartUp()) {
        started.exitStatus = 1;
        return started;
    }
    menu->show();
    if (!arguments.isEmpty())
        menu->OpenROM(arguments[0]);
    started.menu = std::move(menu);
    return started;
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

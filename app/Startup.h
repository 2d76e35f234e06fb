#pragma once
// What the program does before its event loop runs: load the codec plug-in,
// start the main menu and open a ROM named on the command line.
#include <QString>
#include <QStringList>

#include <memory>

class clsOstrel;

namespace zorp::ui {

struct AppContext;
class frmMainMenu;

// The codec object from the plug-in in the program directory, or null with
// the loader's reason.
struct CodecLoad {
    clsOstrel* codec = nullptr;
    QString error;
};
CodecLoad LoadCodec(const QString& programDirectory);

// The menu, shown, or none when the program must end with exitStatus.
struct StartedProgram {
    std::unique_ptr<frmMainMenu> menu;
    int exitStatus = 0;
};

// arguments: the command line after the program name. "zorp" alone starts
// the menu; "zorp ROM" also opens that ROM; "--help" prints the usage.
StartedProgram StartProgram(AppContext& context, const QStringList& arguments);

// Usage text of the command line.
QString UsageText();

// Deletes the top-level windows still open when the event loop has ended
// (windows whose closing was cancelled during the shutdown).
void DeleteRemainingWindows();

} // namespace zorp::ui

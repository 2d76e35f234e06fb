#pragma once
// What the program does before its event loop runs: load the codec plug-in,
// start the main menu and open a ROM named on the command line.
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include "OstrelLoader.h"

namespace zorp::ui {

struct AppContext;
class frmMainMenu;

// The organisation and application names under which the settings store and
// the user's data folder (QStandardPaths::AppDataLocation) are kept; they
// match core's kUserDataSubfolder, which zorptool uses without Qt.
void SetApplicationNames();

// The codec object from the plug-in in codecDirectory (the locations
// service's codec folder), or null with the loader's reason.
struct CodecLoad {
    OstrelLink codec;
    QString error;
};
CodecLoad LoadCodec(const QString& codecDirectory);

// The menu, shown, or none when the program must end with exitStatus.
struct StartedProgram {
    std::unique_ptr<frmMainMenu> menu;
    int exitStatus = 0;
};

// arguments: the command line after the program name. "zorp" alone starts
// the menu; "zorp ROM..." also opens each ROM in a workspace of its own;
// "--help" prints the usage, "--version" the version.
StartedProgram StartProgram(AppContext& context, const QStringList& arguments);

// "--help" and "--version" print their text and give the exit status; they
// need no display, so the program answers them before it starts its GUI.
std::optional<int> AnswerWithoutWindows(const QStringList& arguments);

// "zorp --locations": prints where the locations service finds the program's
// files and whether they can be used; 0 when the definitions, at least one
// shipped template and the codec library are usable, else 1.
int PrintLocations(const CodecLoad& codec);

// Usage text of the command line.
QString UsageText();

// Deletes the top-level windows still open when the event loop has ended
// (windows whose closing was cancelled during the shutdown).
void DeleteRemainingWindows();

} // namespace zorp::ui

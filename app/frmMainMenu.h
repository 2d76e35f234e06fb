#pragma once
// The main menu: the program's first window, alive for the whole run. Its tool
// bar opens a ROM for hacking (identify the game, find its template, open a
// workspace; the button's drop-down lists the recent ROMs, and ROM files can
// be dropped on the window), the default templates window, the ROM utilities
// and the about window. Closing it ends the program, after asking when other windows are
// open.
#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "rom/Bytes.h"

class QAction;
class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QMenu;
class QToolBar;

namespace zorp::ui {

struct AppContext;
class frmTemplates;
class frmZorpII;

class frmMainMenu : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMainMenu(AppContext& context, QWidget* parent = nullptr);

    // The start-up steps: report a missing codec, set the caption, move to
    // the top left corner, load the definitions table. False when the table
    // could not be loaded (its message has been shown): the program must end.
    bool StartUp();

    // "ZORP-II v.0014": the program's revision padded to four digits.
    static QString Caption();

    // Asks for a ROM file and opens it.
    void LoadROM();
    // Opens a ROM file chosen elsewhere (the command line): identifies the
    // game, finds or asks for its template and opens a workspace for it.
    void OpenROM(const QString& romPath);

    // Fills the Open ROM button's "Recent ROMs" list (done each time it
    // drops down): files that no longer exist leave the list, with a note
    // in it naming them.
    void RefreshRecentROMs();
    QMenu* recentMenu() const { return mnuRecent; }

    // The shared default templates window, created on first use.
    frmTemplates* ShowTemplates();
    QWidget* OpenROMConverter();
    QWidget* OpenLockOnCombiner();
    // The emulator window, modal to the menu.
    QWidget* EditEmulator();
    QWidget* ShowAbout();

protected:
    void closeEvent(QCloseEvent* event) override;
    // ROM files dropped on the menu open as if chosen with Open ROM.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QAction* addMenuAction(const QString& key, const QString& text, const QString& toolTip,
                           const QList<QKeySequence>& keys = {});
    // The workspace already showing this ROM file (any path to it), or null.
    frmZorpII* OpenWorkspaceFor(const QString& romPath) const;
    QList<QWidget*> otherOpenWindows() const;
    void openWorkspace(const QString& gameId, const QString& romPath, const QString& templatePath);
    // "Convert and Open" of an SMD or MGD file: the plain image beside it
    // (NAME.bin), asking before it replaces a file there.
    static QString PlainCopyPath(const QString& interleavedPath);
    bool WritePlainCopy(const Bytes& image, const QString& plainPath);

    AppContext& context_;
    QToolBar* tlbMainMenu = nullptr;
    QMenu* mnuRecent = nullptr;
    QStringList droppedRecent_; // recent files found missing, noted until the list is shown
    QPointer<frmTemplates> templates_;
};

} // namespace zorp::ui

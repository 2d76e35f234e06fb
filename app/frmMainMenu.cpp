#include "frmMainMenu.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLayout>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include "AccessibleTitle.h"
#include "ActionAccess.h"
#include "AppContext.h"
#include "MenuIcons.h"
#include "MenuMessages.h"
#include "CoreMessage.h"
#include "RecentRoms.h"
#include "TemplatePaths.h"
#include "WindowGeometry.h"
#include "frmAbout.h"
#include "frmEmulator.h"
#include "frmROMConv.h"
#include "frmSKLockOn.h"
#include "frmTemplates.h"
#include "frmZorpII.h"
#include "rom/PubFunctions.h"
#include "rom/Bytes.h"
#include "template/OpenGame.h"
#include "template/ProgramVersion.h"

namespace zorp::ui {

namespace {

constexpr const char* kRomDialogTitle = "Select ROM File";
constexpr const char* kRomFilter =
    "Genesis ROM Files (*.BIN; *.GEN)|*.BIN;*.GEN|Game Gear ROM Files (*.GG)|*.GG|"
    "Sega Master System ROM Files (*.SMS)|*.SMS|Gameboy Advance ROM Files (*.GBA)|*.GBA|"
    "S3S Special Stage Files (*.S3S)|*.S3S";
constexpr const char* kTemplateDialogTitle = "Select New ZORP-II Template File For ";
constexpr const char* kTemplateFilter = "ZORP-II Template Files (*.ZORP)|*.ZORP";

constexpr const char* kRecentGroup = "RecentROMs";
constexpr const char* kWindowsGroup = "Windows";

// The local files among dropped data; other URLs (web pages, ...) are not ROMs.
QStringList DroppedFiles(const QMimeData* data)
{
    QStringList files;
    if (!data)
        return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            files << url.toLocalFile();
    }
    return files;
}

bool CanOpenForReading(const QString& path)
{
    QFile file(path);
    return !path.isEmpty() && file.open(QIODevice::ReadOnly);
}

// Windows the menu opens are independent top-level windows that free
// themselves when closed.
template <typename Window>
Window* ShowOwnWindow(Window* window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace

frmMainMenu::frmMainMenu(AppContext& context, QWidget* parent)
    : QMainWindow(parent)
    , context_(context)
{
    setObjectName(QStringLiteral("frmMainMenu"));
    setWindowTitle(Caption());
    FollowTitleWithAccessibleName(this);
    setWindowIcon(MenuIcon(QStringLiteral("ROM")));

    tlbMainMenu = new QToolBar(this);
    tlbMainMenu->setObjectName(QStringLiteral("tlbMainMenu"));
    tlbMainMenu->setAccessibleName(QStringLiteral("Main menu"));
    tlbMainMenu->setMovable(false);
    tlbMainMenu->setFloatable(false);
    tlbMainMenu->setIconSize(QSize(32, 32));
    tlbMainMenu->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tlbMainMenu->toggleViewAction()->setEnabled(false); // no way to hide the only tool bar
    addToolBar(tlbMainMenu);
    setContextMenuPolicy(Qt::NoContextMenu);

    const QKeySequence recentKey(Qt::CTRL | Qt::SHIFT | Qt::Key_O);
    QAction* openRom = addMenuAction(QStringLiteral("ROM"), QStringLiteral("Open ROM"),
                                     QStringLiteral("Hack into a ROM."), {QKeySequence::Open});
    connect(openRom, &QAction::triggered, this, &frmMainMenu::LoadROM);
    // The button opens the file dialog; its arrow drops down the recent ROMs.
    mnuRecent = new QMenu(QStringLiteral("Recent ROMs"), this);
    mnuRecent->setObjectName(QStringLiteral("mnuRecent"));
    mnuRecent->setAccessibleName(mnuRecent->title());
    connect(mnuRecent, &QMenu::aboutToShow, this, &frmMainMenu::RefreshRecentROMs);
    connect(mnuRecent, &QMenu::aboutToHide, this, [this] { droppedRecent_.clear(); });
    if (auto* button = qobject_cast<QToolButton*>(tlbMainMenu->widgetForAction(openRom))) {
        button->setMenu(mnuRecent);
        button->setPopupMode(QToolButton::MenuButtonPopup);
    }
    openRom->setToolTip(openRom->toolTip() + QLatin1Char('\n') +
                        ToolTipWithKey(QStringLiteral("The arrow lists the recent ROMs."), recentKey));
    // The recent list from the keyboard: dropped down below the button, as
    // its arrow does, without waiting for it to close.
    auto* showRecent = new QAction(mnuRecent->title(), this);
    showRecent->setObjectName(QStringLiteral("RecentROMs"));
    showRecent->setShortcut(recentKey);
    addAction(showRecent);
    connect(showRecent, &QAction::triggered, this, [this, openRom] {
        const QWidget* button = tlbMainMenu->widgetForAction(openRom);
        mnuRecent->popup(button->mapToGlobal(QPoint(0, button->height())));
    });
    connect(addMenuAction(QStringLiteral("Template"), QStringLiteral("Templates"),
                          QStringLiteral("Select default templates for certain ROM types."),
                          {QKeySequence(Qt::CTRL | Qt::Key_T)}),
            &QAction::triggered, this, &frmMainMenu::ShowTemplates);
    connect(addMenuAction(QStringLiteral("ROMConv"), QStringLiteral("Convert"),
                          QStringLiteral("Convert ROMs to and from 4 popular formats."),
                          {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C)}),
            &QAction::triggered, this, &frmMainMenu::OpenROMConverter);
    connect(addMenuAction(QStringLiteral("LockOn"), QStringLiteral("Lock-On"),
                          QStringLiteral("Lock on a ROM with Sonic & Knuckles"), {QKeySequence(Qt::CTRL | Qt::Key_L)}),
            &QAction::triggered, this, &frmMainMenu::OpenLockOnCombiner);
    connect(addMenuAction(QStringLiteral("Emulator"), QStringLiteral("Emulator"),
                          QStringLiteral("Choose the emulator that Play starts."),
                          {QKeySequence(Qt::CTRL | Qt::Key_E)}),
            &QAction::triggered, this, &frmMainMenu::EditEmulator);
    tlbMainMenu->addSeparator();
    connect(addMenuAction(QStringLiteral("About"), QStringLiteral("About"), QStringLiteral("About ZORP-II")),
            &QAction::triggered, this, &frmMainMenu::ShowAbout);
    // Quitting is closing the menu, with its question about open windows.
    auto* quit = new QAction(QStringLiteral("Quit"), this);
    quit->setObjectName(QStringLiteral("Quit"));
    // Ctrl+Q also where the desktop names no key for quitting.
    SetActionKeys(quit, {QKeySequence::Quit, QKeySequence(Qt::CTRL | Qt::Key_Q)});
    addAction(quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);

    MakeToolButtonsAccessible(tlbMainMenu);

    // A bar of buttons, nothing else: the window is exactly as large as the bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setAcceptDrops(true);
}

QAction* frmMainMenu::addMenuAction(const QString& key, const QString& text, const QString& toolTip,
                                    const QList<QKeySequence>& keys)
{
    QAction* action = tlbMainMenu->addAction(MenuIcon(key), text);
    action->setObjectName(key);
    action->setToolTip(toolTip);
    action->setStatusTip(toolTip);
    SetActionKeys(action, keys);
    if (QWidget* button = tlbMainMenu->widgetForAction(action)) {
        button->setObjectName(QStringLiteral("cmd") + key);
        button->setAccessibleName(text);
        button->setAccessibleDescription(action->toolTip());
    }
    return action;
}

QString frmMainMenu::Caption()
{
    return QStringLiteral("ZORP-II v.") +
           FromBytes(PadLeftZeros(std::to_string(kProgramVersionRevision), 4));
}

bool frmMainMenu::StartUp()
{
    // Without the codec the program goes on; templates that need compression
    // have their special stage editor switched off later.
    if (!context_.codecPresent())
        ShowMessage(context_.platform, this, CodecNotFoundMessage());
    setWindowTitle(Caption());
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().topLeft());
    // Where the user last left the menu wins over the corner.
    RememberGeometry(this, context_.platform.settings->group(QLatin1String(kWindowsGroup)));
    // Filled now as well as on each drop-down: an empty menu may not drop down.
    RefreshRecentROMs();
    if (auto error = context_.reloadDefinitions()) {
        ShowMessage(context_.platform, this, *error);
        return false;
    }
    return true;
}

void frmMainMenu::LoadROM()
{
    FileDialogRequest request;
    request.title = QLatin1String(kRomDialogTitle);
    request.filter = QLatin1String(kRomFilter);
    request.mustExist = true;
    const FileDialogResult chosen = context_.platform.files->run(this, request);
    if (!chosen.accepted || chosen.path.isEmpty())
        return;
    OpenROM(chosen.path);
}

void frmMainMenu::OpenROM(const QString& romPath)
{
    const QString fullPath = QFileInfo(romPath).absoluteFilePath();
    // One workspace per file: two would each save their own view over the
    // other's edits.
    if (frmZorpII* open = OpenWorkspaceFor(fullPath)) {
        RecentRoms(context_.platform.settings->group(QLatin1String(kRecentGroup))).add(open->ROMFile());
        open->showNormal();
        open->raise();
        open->activateWindow();
        return;
    }
    // A file that cannot be read at all is not an unrecognised ROM: say why.
    QFile rom(fullPath);
    if (!rom.open(QIODevice::ReadOnly)) {
        context_.platform.messages->show(
            this, {QStringLiteral("Cannot Open ROM"),
                   QStringLiteral("The selected ROM file could not be opened:\n") + fullPath + QLatin1Char('\n') +
                       rom.errorString(),
                   Icon::Critical, Buttons::Ok});
        return;
    }
    rom.close();

    const std::string nativePath = ToNativePath(fullPath);
    const RomKind kind = OpenedKindOfPath(nativePath);
    if (kind == RomKind::Unsupported) {
        ShowMessage(context_.platform, this, UnrecognizedRomMessage());
        return;
    }
    // Edits to the definitions file take effect at the next identification.
    if (kind != RomKind::SpecialStage) {
        if (auto error = context_.reloadDefinitions()) {
            ShowMessage(context_.platform, this, *error);
            return;
        }
    }
    const OpenedGame game = OpenGame(context_.definitions, nativePath);
    if (!game.ok()) {
        ShowMessage(context_.platform, this, *game.error);
        return;
    }
    const RomIdentification& identity = game.identity;
    if (kind == RomKind::SpecialStage && identity.gameId != kGameIdS3S) {
        ShowMessage(context_.platform, this,
                    identity.s3sKind == kS3SKindCompilation ? CannotEditCompilationMessage() : InvalidS3SMessage());
        return;
    }
    if (identity.gameId == kGameIdUnknown) {
        ShowMessage(context_.platform, this, UnrecognizedRomMessage());
        return;
    }
    if (game.interleaved()) {
        const QString plain = PlainCopyPath(fullPath);
        MessageRequest request{
            QStringLiteral("Interleaved ROM"),
            QStringLiteral("%1 is stored in the %2 layout.\nThe workspace edits plain binary images in place "
                           "and cannot write into this file.\nConvert it to a plain .BIN with Convert, then "
                           "open that.\n\nConvert and Open writes the plain image beside it as\n%3\nand opens "
                           "that; this file stays as it is.")
                .arg(FromBytes(DescribeGame(context_.definitions, identity)),
                     (game.layout & kLayoutSmd) ? QStringLiteral("SMD") : QStringLiteral("MGD"), plain),
            Icon::Critical, Buttons::OkCancel};
        request.okText = QStringLiteral("Convert and Open");
        if (context_.platform.messages->show(this, request) == Answer::Ok && WritePlainCopy(game.image, plain))
            OpenROM(plain);
        return;
    }

    const QString gameId = FromBytes(identity.gameId);
    // Each revision with a template of its own (Sonic 2 REV00 and REV02 keep
    // their data elsewhere) keeps its own choice, under that template's name.
    const QString key = FromBytes(game.templateKey);
    const QString storedPath = StoredTemplatePath(*context_.platform.settings, key);
    QString templatePath = ExpandTemplatePath(storedPath);
    if (!CanOpenForReading(templatePath)) {
        // Master System, Game Gear and Game Boy Advance games are known but
        // have no shipped template: say so before asking for a file.
        if (IsDefaultTemplatePath(key, storedPath)) {
            const Answer answer = context_.platform.messages->show(
                this, {QStringLiteral("No Template"),
                       QStringLiteral("No template ships for %1, so ZORP-II has no editors for this game yet.\n"
                                      "If you have a template of your own for it, choose it in the next window; "
                                      "it is used for this game from then on.")
                           .arg(FromBytes(GameDisplayName(context_.definitions, identity.gameId))),
                       Icon::Information, Buttons::OkCancel});
            if (answer != Answer::Ok)
                return;
        }
        FileDialogRequest request;
        request.title = QLatin1String(kTemplateDialogTitle) +
                        FromBytes(GameDisplayName(context_.definitions, identity.gameId));
        request.filter = QLatin1String(kTemplateFilter);
        request.fileName = templatePath;
        request.mustExist = true;
        const FileDialogResult chosen = context_.platform.files->run(this, request);
        if (!chosen.accepted || chosen.path.isEmpty())
            return;
        // The choice becomes the game's default from now on.
        templatePath = QFileInfo(chosen.path).absoluteFilePath();
        context_.platform.settings->setValue(key, CollapseTemplatePath(templatePath));
    }
    openWorkspace(gameId, fullPath, templatePath);
}

QString frmMainMenu::PlainCopyPath(const QString& interleavedPath)
{
    const QFileInfo file(interleavedPath);
    return file.absolutePath() + QLatin1Char('/') + file.completeBaseName() + QStringLiteral(".bin");
}

bool frmMainMenu::WritePlainCopy(const Bytes& image, const QString& plainPath)
{
    if (QFileInfo::exists(plainPath)) {
        const Answer replace = context_.platform.messages->show(
            this, {QStringLiteral("Replace File"),
                   QStringLiteral("%1\nalready exists. Replace it with the converted image?").arg(plainPath),
                   Icon::Question, Buttons::YesNo});
        if (replace != Answer::Yes)
            return false;
    }
    const std::string error = WriteFileBytes(ToNativePath(plainPath), image);
    if (!error.empty()) {
        context_.platform.messages->show(
            this, {QStringLiteral("Cannot Convert ROM"),
                   QStringLiteral("The plain image could not be written to\n%1\n(%2)").arg(plainPath, FromBytes(error)),
                   Icon::Critical, Buttons::Ok});
        return false;
    }
    return true;
}

void frmMainMenu::openWorkspace(const QString& gameId, const QString& romPath, const QString& templatePath)
{
    QPointer<frmZorpII> workspace = new frmZorpII(context_);
    workspace->setWindowTitle(QStringLiteral("ZORP-II - ") + gameId + QStringLiteral(" - ") + romPath);
    workspace->setTemplateFile(templatePath);
    workspace->setROMFile(romPath);
    // A refused template has been reported by the workspace, which closed itself.
    if (workspace->LoadFrames() != TemplateRefusal::None || !workspace) {
        if (workspace && !workspace->testAttribute(Qt::WA_DeleteOnClose))
            workspace->deleteLater();
        return;
    }
    // The workspace closes itself when the user declines a template that does
    // not fit the ROM.
    if (!workspace->LoadROM(romPath) || !workspace)
        return;
    // Each template keeps its own place: its editors decide the size the
    // workspace needs, and a place left by a workspace of another template
    // could hide them. Nor is a stored size ever smaller than the content.
    const QSize laidOut = workspace->size();
    RememberGeometry(workspace, context_.platform.settings->group(QLatin1String(kWindowsGroup)),
                     QStringLiteral("frmZorpII_") + QFileInfo(templatePath).fileName());
    workspace->resize(workspace->size().expandedTo(laidOut));
    workspace->show();
    RecentRoms(context_.platform.settings->group(QLatin1String(kRecentGroup))).add(romPath);
}

void frmMainMenu::RefreshRecentROMs()
{
    RecentRoms recent(context_.platform.settings->group(QLatin1String(kRecentGroup)));
    // The note stays until the list has been shown once.
    droppedRecent_ += recent.dropMissing();
    mnuRecent->clear();
    const QStringList paths = recent.paths();
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QFileInfo file(paths[i]);
        // "&10" would make the 1 the shortcut of two entries: the tenth has none.
        const QString number = i < 9 ? QStringLiteral("&%1").arg(i + 1) : QStringLiteral("1&0");
        QAction* entry = mnuRecent->addAction(number + QLatin1String("  ") + file.fileName() + QLatin1String("  (") +
                                              QDir::toNativeSeparators(file.absolutePath()) + QLatin1Char(')'));
        entry->setObjectName(QStringLiteral("mnuRecent") + QString::number(i + 1));
        entry->setStatusTip(paths[i]);
        entry->setToolTip(paths[i]);
        const QString path = paths[i];
        connect(entry, &QAction::triggered, this, [this, path] { OpenROM(path); });
    }
    if (paths.isEmpty()) {
        QAction* none = mnuRecent->addAction(QStringLiteral("No recent ROMs"));
        none->setObjectName(QStringLiteral("mnuRecentNone"));
        none->setEnabled(false);
    }
    for (const QString& path : droppedRecent_) {
        QAction* note = mnuRecent->addAction(QStringLiteral("Removed, file no longer exists: ") + path);
        note->setObjectName(QStringLiteral("mnuRecentRemoved"));
        note->setEnabled(false);
    }
    if (!paths.isEmpty()) {
        mnuRecent->addSeparator();
        QAction* clearList = mnuRecent->addAction(QStringLiteral("Clear List"));
        clearList->setObjectName(QStringLiteral("mnuRecentClear"));
        connect(clearList, &QAction::triggered, this, [this] {
            RecentRoms(context_.platform.settings->group(QLatin1String(kRecentGroup))).clear();
        });
    }
}

void frmMainMenu::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DroppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmMainMenu::dropEvent(QDropEvent* event)
{
    const QStringList files = DroppedFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over: opening asks questions in modal boxes,
    // which must not run while the drag is still in progress.
    QTimer::singleShot(0, this, [this, files] {
        for (const QString& file : files)
            OpenROM(file);
    });
}

frmTemplates* frmMainMenu::ShowTemplates()
{
    if (!templates_) {
        templates_ = new frmTemplates(context_);
        RememberGeometry(templates_, context_.platform.settings->group(QLatin1String(kWindowsGroup)));
    }
    return ShowOwnWindow(templates_.data());
}

QWidget* frmMainMenu::OpenROMConverter()
{
    auto* window = new frmROMConv(context_.platform);
    RememberGeometry(window, context_.platform.settings->group(QLatin1String(kWindowsGroup)));
    return ShowOwnWindow(window);
}

QWidget* frmMainMenu::OpenLockOnCombiner()
{
    auto* window = new frmSKLockOn(context_.platform);
    RememberGeometry(window, context_.platform.settings->group(QLatin1String(kWindowsGroup)));
    return ShowOwnWindow(window);
}

QWidget* frmMainMenu::EditEmulator()
{
    auto* emulator = new frmEmulator(context_.platform, this);
    emulator->setWindowModality(Qt::ApplicationModal);
    return ShowOwnWindow(emulator);
}

QWidget* frmMainMenu::ShowAbout()
{
    auto* about = new frmAbout(context_, this);
    about->setWindowModality(Qt::ApplicationModal);
    return ShowOwnWindow(about);
}

frmZorpII* frmMainMenu::OpenWorkspaceFor(const QString& romPath) const
{
    const QString wanted = QFileInfo(romPath).canonicalFilePath();
    if (wanted.isEmpty())
        return nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* workspace = qobject_cast<frmZorpII*>(widget);
        if (workspace && workspace->isVisible() && QFileInfo(workspace->ROMFile()).canonicalFilePath() == wanted)
            return workspace;
    }
    return nullptr;
}

QList<QWidget*> frmMainMenu::otherOpenWindows() const
{
    QList<QWidget*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget == this || !widget->isVisible())
            continue;
        const Qt::WindowType type = widget->windowType();
        if (type == Qt::Window || type == Qt::Dialog)
            windows << widget;
    }
    return windows;
}

void frmMainMenu::closeEvent(QCloseEvent* event)
{
    const QList<QWidget*> others = otherOpenWindows();
    if (!others.isEmpty()) {
        if (ShowMessage(context_.platform, this, OtherWindowsOpenQuestion(), Buttons::YesNo) != Answer::Yes) {
            event->ignore();
            return;
        }
        // Each window asks its own closing questions. One that stays open
        // (Cancel, or a save that failed) still holds unsaved work, so the
        // program stays running instead of ending and losing it.
        QList<QPointer<QWidget>> toClose(others.begin(), others.end());
        for (const QPointer<QWidget>& window : toClose) {
            if (window && !window->close()) {
                event->ignore();
                return;
            }
        }
    }
    event->accept();
    QCoreApplication::quit();
}

} // namespace zorp::ui

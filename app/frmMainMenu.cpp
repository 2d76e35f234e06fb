#include "frmMainMenu.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QLayout>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>

#include "AccessibleTitle.h"
#include "AppContext.h"
#include "MenuIcons.h"
#include "MenuMessages.h"
#include "CoreMessage.h"
#include "CoreMessage.h"
#include "TemplatePaths.h"
#include "frmAbout.h"
#include "frmEmulator.h"
#include "frmROMConv.h"
#include "frmSKLockOn.h"
#include "frmTemplates.h"
#include "frmZorpII.h"
#include "rom/PubFunctions.h"
#include "rom/Bytes.h"
#include "template/DefaultTemplate.h"
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

    connect(addMenuAction(QStringLiteral("ROM"), QStringLiteral("Open ROM"), QStringLiteral("Hack into a ROM.")),
            &QAction::triggered, this, &frmMainMenu::LoadROM);
    connect(addMenuAction(QStringLiteral("Template"), QStringLiteral("Templates"),
                          QStringLiteral("Select default templates for certain ROM types.")),
            &QAction::triggered, this, &frmMainMenu::ShowTemplates);
    connect(addMenuAction(QStringLiteral("ROMConv"), QStringLiteral("Convert"),
                          QStringLiteral("Convert ROMs to and from 4 popular formats.")),
            &QAction::triggered, this, &frmMainMenu::OpenROMConverter);
    connect(addMenuAction(QStringLiteral("LockOn"), QStringLiteral("Lock-On"),
                          QStringLiteral("Lock on a ROM with Sonic & Knuckles")),
            &QAction::triggered, this, &frmMainMenu::OpenLockOnCombiner);
    connect(addMenuAction(QStringLiteral("Emulator"), QStringLiteral("Emulator"),
                          QStringLiteral("Choose the emulator that Play starts.")),
            &QAction::triggered, this, &frmMainMenu::EditEmulator);
    tlbMainMenu->addSeparator();
    connect(addMenuAction(QStringLiteral("About"), QStringLiteral("About"), QStringLiteral("About ZORP-II")),
            &QAction::triggered, this, &frmMainMenu::ShowAbout);

    // A bar of buttons, nothing else: the window is exactly as large as the bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

QAction* frmMainMenu::addMenuAction(const QString& key, const QString& text, const QString& toolTip)
{
    QAction* action = tlbMainMenu->addAction(MenuIcon(key), text);
    action->setObjectName(key);
    action->setToolTip(toolTip);
    action->setStatusTip(toolTip);
    if (QWidget* button = tlbMainMenu->widgetForAction(action)) {
        button->setObjectName(QStringLiteral("cmd") + key);
        button->setAccessibleName(text);
        button->setAccessibleDescription(toolTip);
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
    const RomKind kind = RomKindOfPath(nativePath);
    // Edits to the definitions file take effect at the next identification.
    if (kind != RomKind::SpecialStage) {
        if (auto error = context_.reloadDefinitions()) {
            ShowMessage(context_.platform, this, *error);
            return;
        }
    }
    const RomIdentification identity = IdentifyRom(context_.definitions, nativePath);
    if (kind == RomKind::SpecialStage && identity.gameId != kGameIdS3S) {
        ShowMessage(context_.platform, this,
                    identity.s3sKind == kS3SKindCompilation ? CannotEditCompilationMessage() : InvalidS3SMessage());
        return;
    }
    if (identity.gameId == kGameIdUnknown) {
        ShowMessage(context_.platform, this, UnrecognizedRomMessage());
        return;
    }

    const QString gameId = FromBytes(identity.gameId);
    QString storedPath = StoredTemplatePath(*context_.platform.settings, gameId);
    // The game's default template: the one shipped for the image's revision
    // when there is one (Sonic 2 REV00 and REV02 keep their data elsewhere).
    if (IsDefaultTemplatePath(gameId, storedPath))
        storedPath = QStringLiteral("*ZORP*/") +
                     FromBytes(DefaultTemplateName(identity, [](const std::string& name) {
                         return FileSize(AppFilePath(name)).has_value();
                     }));
    QString templatePath = ExpandTemplatePath(storedPath);
    if (!CanOpenForReading(templatePath)) {
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
        context_.platform.settings->setValue(gameId, CollapseTemplatePath(templatePath));
    }
    openWorkspace(gameId, fullPath, templatePath);
}

void frmMainMenu::openWorkspace(const QString& gameId, const QString& romPath, const QString& templatePath)
{
    QPointer<frmZorpII> workspace = new frmZorpII(context_);
    workspace->setWindowTitle(QStringLiteral("ZORP-II - ") + gameId + QStringLiteral(" - ") + romPath);
    workspace->setTemplateFile(templatePath);
    workspace->setROMFile(romPath);
    workspace->LoadFrames();

    // A refused template has been reported by the workspace, which closed itself.
    const QString& status = context_.templateStatus;
    if (!workspace || workspace->refusedTemplate() || status == QLatin1String("OUTDATED") ||
        status == QLatin1String("NET")) {
        context_.templateStatus.clear();
        if (workspace && !workspace->testAttribute(Qt::WA_DeleteOnClose))
            workspace->deleteLater();
        return;
    }
    // The workspace closes itself when the user declines a template that does
    // not fit the ROM.
    if (!workspace->LoadROM(romPath) || !workspace)
        return;
    workspace->show();
}

frmTemplates* frmMainMenu::ShowTemplates()
{
    if (!templates_)
        templates_ = new frmTemplates(context_);
    return ShowOwnWindow(templates_.data());
}

QWidget* frmMainMenu::OpenROMConverter()
{
    return ShowOwnWindow(new frmROMConv(context_.platform));
}

QWidget* frmMainMenu::OpenLockOnCombiner()
{
    return ShowOwnWindow(new frmSKLockOn(context_.platform));
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

#include "frmZorpII.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QToolButton>
#include <QResizeEvent>
#include <QToolBar>
#include <QUndoGroup>
#include <QUndoStack>

#include <variant>

#include "AccessibleTitle.h"
#include "ActionAccess.h"
#include "AppContext.h"
#include "ChecksumStatus.h"
#include "EmulatorCommand.h"
#include "FrameTag.h"
#include "LevelSelectFrame.h"
#include "palette/PalEdit.h"
#include "specialstage/S1SpecialStage.h"
#include "specialstage/S3SpecialStage.h"
#include "PaletteFrame.h"
#include "PlaylistFrame.h"
#include "RelocatingSave.h"
#include "S1StagesFrame.h"
#include "S2LevelSelectFrame.h"
#include "S2StagesFrame.h"
#include "StageCodec.h"
#include "specialstage/S2SpecialStage.h"
#include "SpecialStageFrame.h"
#include "WavImporterFrame.h"
#include "WorkspaceMessages.h"
#include "CoreMessage.h"
#include "rom/Bytes.h"
#include "TemplateModels.h"

namespace zorp::ui {

namespace {

// The area below the tool bar. The frames lie at its top-left corner; the
// stretching ones follow its size when the user resizes the window.
class FrameHost : public QWidget {
public:
    explicit FrameHost(QWidget* parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("picFrames"));
        setMinimumSize(0, 0);
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        for (QObject* child : children()) {
            auto* frame = qobject_cast<EditorFrame*>(child);
            if (frame && frame->active() && frame->stretches())
                frame->setGeometry(rect());
        }
    }
};

// The editor buttons in tool bar order. Sonic 1 and Sonic 2 have special
// stage (and Sonic 2 level select) editors of their own; a template shows
// one editor of each kind, so each kind has one caption, one place and one
// key: Ctrl+1 ... Ctrl+5 follow the buttons on show, and an editor the
// template leaves out keeps its number unused (a hidden button's key does
// nothing).
struct EditorButton {
    const char* key;
    const char* text;
    int number;
};
constexpr EditorButton kEditorButtons[] = {
    {"LvlSelect", "Level Select", 1},  {"S2LvlSelect", "Level Select", 1}, {"PalEdit", "Palette", 2},
    {"Playlist", "Playlist", 3},       {"S3S", "Special Stages", 4},       {"S1Stages", "Special Stages", 4},
    {"S2SS", "Special Stages", 4},     {"WavImporter", "WAV Importer", 5},
};

} // namespace

class WorkspaceState {
public:
    explicit WorkspaceState(AppContext& c) : context(c) {}

    AppContext& context;
    QString romFile;
    QString templateFile;
    QString headerValue;
    QString version;
    bool refused = false;
    bool closingWithoutQuestions = false;
    // What the ROM file held when it was loaded (or last saved): a save asks
    // before overwriting a file changed since, and refuses one whose length
    // changed (its offsets could be stale).
    std::optional<FileStamp> loadedStamp;
    // The images the template fits; while it does not fit the open ROM the
    // workspace is read-only.
    TemplateFit fit;
    bool readOnly = false;
    QLabel* checksumStatus = nullptr;
    QLabel* readOnlyStatus = nullptr;
    QAction* fixChecksumOnSave = nullptr;

    QToolBar* toolbar = nullptr;
    QActionGroup* editorButtons = nullptr;
    QActionGroup* formatButtons = nullptr;
    FrameHost* host = nullptr;
    LevelSelectFrame* levelSelect = nullptr;
    PaletteFrame* palette = nullptr;
    PlaylistFrame* playlist = nullptr;
    SpecialStageFrame* stages = nullptr;
    WavImporterFrame* wav = nullptr;
    S1StagesFrame* s1Stages = nullptr;
    S2LevelSelectFrame* s2Levels = nullptr;
    S2StagesFrame* s2Stages = nullptr;
    // The undo history of the editor on show: the special stage and palette
    // editors each keep one; the other editors keep none.
    QUndoGroup* undo = nullptr;

    QList<EditorFrame*> frames() const
    {
        return {levelSelect, palette, playlist, stages, wav, s1Stages, s2Levels, s2Stages};
    }
    // The editors whose data can move when it grows; they share one allocator per save.
    std::vector<RelocatingEditor*> relocating() const { return {s1Stages, s2Levels, s2Stages}; }
    QAction* button(const QString& key) const { return toolbar->findChild<QAction*>(key); }
};

frmZorpII::frmZorpII(AppContext& context, QWidget* parent)
    : QMainWindow(parent), d(std::make_unique<WorkspaceState>(context))
{
    setObjectName(QStringLiteral("frmZorpII"));
    setAttribute(Qt::WA_DeleteOnClose);
    FollowTitleWithAccessibleName(this);

    d->toolbar = new QToolBar(QStringLiteral("Workspace"), this);
    d->toolbar->setObjectName(QStringLiteral("tlbToolbar"));
    d->toolbar->setAccessibleName(QStringLiteral("Workspace tool bar"));
    d->toolbar->setMovable(false);
    d->toolbar->setFloatable(false);
    d->toolbar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    d->toolbar->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, d->toolbar);

    auto addButton = [this](const QString& key, const QString& text, const QString& tip,
                            const QList<QKeySequence>& keys = {}) {
        QAction* action = d->toolbar->addAction(text);
        action->setObjectName(key);
        action->setToolTip(tip.isEmpty() ? text : tip);
        SetActionKeys(action, keys);
        if (QWidget* button = d->toolbar->widgetForAction(action)) {
            button->setObjectName(QStringLiteral("tlbToolbar_") + key);
            button->setAccessibleName(text);
        }
        connect(action, &QAction::triggered, this, [this, key] { ToolbarClicked(key); });
        return action;
    };
    addButton(QStringLiteral("Restore"), QStringLiteral("Restore"),
              QStringLiteral("Restores the information from the ROM."), {QKeySequence(Qt::CTRL | Qt::Key_R)});
    addButton(QStringLiteral("Save"), QStringLiteral("Save"), QStringLiteral("Saves the new data to the ROM."),
              {QKeySequence::Save});
    addButton(QStringLiteral("Template"), QStringLiteral("Template"),
              QStringLiteral("Loads a different template for this ROM."), {QKeySequence(Qt::CTRL | Qt::Key_T)});
    addButton(QStringLiteral("Play"), QStringLiteral("Play"),
              QStringLiteral("Starts the emulator on the ROM file (set it with Emulator in the main menu)."),
              {QKeySequence(Qt::Key_F5)});
    addButton(QStringLiteral("FixChecksum"), QStringLiteral("Fix Checksum"),
              QStringLiteral("Writes the actual header checksum into the ROM, so that Sonic 1 and Sonic 2 start."),
              {QKeySequence(Qt::CTRL | Qt::Key_K)});

    // Save options: a drop-down with the choices that change what Save writes.
    d->fixChecksumOnSave = new QAction(QStringLiteral("Also fix the header checksum when saving"), this);
    d->fixChecksumOnSave->setObjectName(QStringLiteral("FixChecksumOnSave"));
    d->fixChecksumOnSave->setCheckable(true);
    if (SettingsStore* preferences = context.platform.preferences)
        d->fixChecksumOnSave->setChecked(preferences->value(QStringLiteral("FixChecksumOnSave"), QStringLiteral("0")) ==
                                         QLatin1String("1"));
    connect(d->fixChecksumOnSave, &QAction::toggled, this, [this](bool on) {
        if (SettingsStore* preferences = d->context.platform.preferences)
            preferences->setValue(QStringLiteral("FixChecksumOnSave"), on ? QStringLiteral("1") : QStringLiteral("0"));
    });
    auto* options = new QToolButton(d->toolbar);
    options->setObjectName(QStringLiteral("tlbToolbar_Options"));
    options->setText(QStringLiteral("Options"));
    options->setAccessibleName(QStringLiteral("Options"));
    options->setToolTip(QStringLiteral("Choices that change what Save writes."));
    options->setPopupMode(QToolButton::InstantPopup);
    auto* optionsMenu = new QMenu(options);
    optionsMenu->setObjectName(QStringLiteral("mnuOptions"));
    optionsMenu->setAccessibleName(QStringLiteral("Options"));
    optionsMenu->addAction(d->fixChecksumOnSave);
    options->setMenu(optionsMenu);
    d->toolbar->addWidget(options)->setObjectName(QStringLiteral("Options"));
    d->toolbar->addSeparator()->setObjectName(QStringLiteral("tlbToolbar_Separator"));

    d->editorButtons = new QActionGroup(this);
    d->editorButtons->setExclusive(true);
    for (const EditorButton& editor : kEditorButtons) {
        QAction* action = addButton(QLatin1String(editor.key), QLatin1String(editor.text), QString(),
                                    {QKeySequence(Qt::CTRL | (Qt::Key_0 + editor.number))});
        action->setCheckable(true);
        action->setVisible(false);
        d->editorButtons->addAction(action);
    }
    // The two save formats of a special stage file: one of them is pressed
    // when the file is loaded and decides the format SaveROM writes.
    d->formatButtons = new QActionGroup(this);
    d->formatButtons->setExclusive(true);
    for (const auto& [key, text] : {std::pair{"S3S_1", "S3S v1.00"}, std::pair{"S3S_2", "S3S v2.00"}}) {
        QAction* action = addButton(QLatin1String(key), QLatin1String(text), QString());
        action->setCheckable(true);
        action->setVisible(false);
        d->formatButtons->addAction(action);
    }

    d->host = new FrameHost(this);
    setCentralWidget(d->host);

    d->checksumStatus = new QLabel(this);
    d->checksumStatus->setObjectName(QStringLiteral("lblChecksumStatus"));
    d->checksumStatus->setAccessibleName(QStringLiteral("Header checksum"));
    // Long texts are cut at the window's edge rather than widening it; the
    // tool tip holds the whole text.
    d->checksumStatus->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    d->readOnlyStatus = new QLabel(QStringLiteral("Read-only: the template does not fit this ROM."), this);
    d->readOnlyStatus->setObjectName(QStringLiteral("lblReadOnlyStatus"));
    d->readOnlyStatus->setAccessibleName(QStringLiteral("Read-only"));
    d->readOnlyStatus->setVisible(false);
    statusBar()->setObjectName(QStringLiteral("stsWorkspace"));
    statusBar()->setAccessibleName(QStringLiteral("Status"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->addWidget(d->checksumStatus, 1);
    statusBar()->addPermanentWidget(d->readOnlyStatus);
    d->levelSelect = new LevelSelectFrame(d->host);
    d->palette = new PaletteFrame(context, d->host);
    d->playlist = new PlaylistFrame(d->host);
    d->stages = new SpecialStageFrame(context, d->host);
    d->wav = new WavImporterFrame(context, d->host);
    d->s1Stages = new S1StagesFrame(context, d->host);
    d->s2Levels = new S2LevelSelectFrame(d->host);
    d->s2Levels->setRefusalHandler([this](const QString& text) {
        d->context.platform.messages->show(this, {QStringLiteral("Level Select"), text, Icon::Exclamation, Buttons::Ok});
    });
    d->s2Stages = new S2StagesFrame(context, d->host);
    // The palette editor saves through the workspace's one write, never by
    // writing the file itself.
    d->palette->editor()->setSaveHandler([this](const Patch& patch) {
        if (d->readOnly) {
            ShowReadOnlyRefusal();
            return false;
        }
        return WriteToRom(d->romFile, {patch}, FixChecksumOnSave(), RelocatingSave{});
    });
    AddUndoActions();
    MakeToolButtonsAccessible(d->toolbar);
}

void frmZorpII::AddUndoActions()
{
    d->undo = new QUndoGroup(this);
    d->undo->addStack(d->palette->editor()->undoStack());
    d->undo->addStack(d->stages->editor()->undoStack());
    d->undo->addStack(d->s1Stages->editor()->undoStack());
    d->undo->addStack(d->s2Stages->editor()->undoStack());
    d->toolbar->addSeparator()->setObjectName(QStringLiteral("tlbToolbar_UndoSeparator"));

    auto addHistoryAction = [this](const QString& key, QList<QKeySequence> keys, auto can, auto textChanged,
                                   auto run) {
        QAction* action = d->toolbar->addAction(key);
        action->setObjectName(key);
        action->setEnabled(false);
        action->setToolTip(key);
        SetActionKeys(action, keys);
        if (QWidget* button = d->toolbar->widgetForAction(action)) {
            button->setObjectName(QStringLiteral("tlbToolbar_") + key);
            button->setAccessibleName(key);
        }
        connect(d->undo, can, action, &QAction::setEnabled);
        // The tool tip names the edit that would be undone or redone.
        connect(d->undo, textChanged, action, [action, key](const QString& text) {
            action->setToolTip(
                ToolTipWithKey(text.isEmpty() ? key : key + QLatin1Char(' ') + text, action->shortcut()));
        });
        connect(action, &QAction::triggered, d->undo, run);
    };
    addHistoryAction(QStringLiteral("Undo"), {QKeySequence::Undo}, &QUndoGroup::canUndoChanged,
                     &QUndoGroup::undoTextChanged, &QUndoGroup::undo);
    addHistoryAction(QStringLiteral("Redo"), {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence::Redo},
                     &QUndoGroup::canRedoChanged, &QUndoGroup::redoTextChanged, &QUndoGroup::redo);
}

frmZorpII::~frmZorpII() = default;

QString frmZorpII::ROMFile() const { return d->romFile; }
QString frmZorpII::TemplateFile() const { return d->templateFile; }
QString frmZorpII::TemplateHeaderValue() const { return d->headerValue; }
QString frmZorpII::TemplateVersion() const { return d->version; }
bool frmZorpII::DecodeTableIsCpp() const { return d->levelSelect->DecodeTableIsCpp(); }
QString frmZorpII::S3STempFile() const { return QString(); }
void frmZorpII::setTemplateFile(const QString& path) { d->templateFile = path; }
void frmZorpII::setROMFile(const QString& path) { d->romFile = path; }
bool frmZorpII::refusedTemplate() const { return d->refused; }
bool frmZorpII::readOnly() const { return d->readOnly; }

TemplateRefusal frmZorpII::LoadFrames()
{
    d->refused = false;
    TemplateReadOptions options;
    options.codecPresent = d->context.codecPresent();
    const TemplateResult result = ReadTemplateFile(ToNativePath(d->templateFile), options);
    d->fit = result.fit;
    // A new template is checked afresh against the ROM when it is loaded.
    SetReadOnly(false);
    d->headerValue = FromBytes(result.headerValue);
    d->version = FromBytes(result.version);

    auto showButton = [this](const char* key) { d->button(QLatin1String(key))->setVisible(true); };
    for (const TemplateAction& action : result.actions) {
        std::visit(
            [&](const auto& item) {
                using T = std::decay_t<decltype(item)>;
                if constexpr (std::is_same_v<T, Message>) {
                    ShowMessage(d->context.platform, this, item);
                } else if constexpr (std::is_same_v<T, LevelSelectSetup>) {
                    d->levelSelect->Setup(item);
                    showButton("LvlSelect");
                } else if constexpr (std::is_same_v<T, PaletteSetup>) {
                    d->palette->Setup(item);
                    showButton("PalEdit");
                } else if constexpr (std::is_same_v<T, PlaylistSetup>) {
                    d->playlist->Setup(item);
                    showButton("Playlist");
                } else if constexpr (std::is_same_v<T, S3SSetup>) {
                    d->stages->Setup(item);
                    showButton("S3S");
                } else if constexpr (std::is_same_v<T, S3SFileSetup>) {
                    d->stages->Setup(item);
                    // A special stage file is no game an emulator could start.
                    d->button(QStringLiteral("Play"))->setEnabled(false);
                    showButton("S3S_1");
                    showButton("S3S_2");
                    d->stages->show();
                } else if constexpr (std::is_same_v<T, WavSetup>) {
                    d->wav->Setup(item);
                    showButton("WavImporter");
                } else if constexpr (std::is_same_v<T, S1StagesSetup>) {
                    d->s1Stages->Setup(item);
                    showButton("S1Stages");
                } else if constexpr (std::is_same_v<T, S2LevelSelectSetup>) {
                    d->s2Levels->Setup(item);
                    showButton("S2LvlSelect");
                } else if constexpr (std::is_same_v<T, S2SpecialStageSetup>) {
                    d->s2Stages->Setup(item);
                    showButton("S2SS");
                }
            },
            action);
    }

    if (result.refusal != TemplateRefusal::None) {
        d->refused = true;
        d->closingWithoutQuestions = true;
        close();
        return result.refusal;
    }
    LayOutFrames();
    return TemplateRefusal::None;
}

void frmZorpII::LayOutFrames()
{
    int width = 0;
    int height = 0;
    for (EditorFrame* frame : d->frames()) {
        if (!frame->active())
            continue;
        width = std::max(width, frame->designedSize().width());
        height = std::max(height, frame->designedSize().height());
    }
    // The tool bar must show all its buttons, so the window is never narrower
    // than the tool bar even when the frames are.
    const QSize bar = d->toolbar->sizeHint();
    width = std::max(width, bar.width());
    resize(width, bar.height() + height + statusBar()->sizeHint().height());
    for (EditorFrame* frame : d->frames()) {
        if (!frame->active())
            continue;
        frame->setGeometry(frame->stretches() ? QRect(0, 0, width, height)
                                              : QRect(QPoint(0, 0), frame->designedSize()));
    }

    const QList<QAction*> buttons = d->editorButtons->actions() + d->formatButtons->actions();
    for (QAction* button : buttons) {
        if (button->isVisible()) {
            button->setChecked(true);
            ToolbarClicked(button->objectName());
            break;
        }
    }
    UpdateUndoTarget();
}

void frmZorpII::ToolbarClicked(const QString& key)
{
    if (key == QLatin1String("Restore")) {
        d->levelSelect->DiscardOpenEdit();
        LoadROM(d->romFile);
    } else if (key == QLatin1String("Save")) {
        d->levelSelect->CommitOpenEdit();
        SaveROM(d->romFile);
    } else if (key == QLatin1String("Play")) {
        Play();
    } else if (key == QLatin1String("Template")) {
        ChangeTemplate();
    } else if (key == QLatin1String("FixChecksum")) {
        FixChecksum();
    } else if (key.startsWith(QLatin1String("S3S_"))) {
        // These buttons only record the save format of a special stage file.
    } else {
        ShowFrame(key);
    }
}

// Undo and Redo act on the editor being shown; the other editors keep no
// history.
void frmZorpII::UpdateUndoTarget()
{
    QUndoStack* history = nullptr;
    if (!d->palette->isHidden())
        history = d->palette->editor()->undoStack();
    else if (!d->stages->isHidden())
        history = d->stages->editor()->undoStack();
    else if (!d->s1Stages->isHidden())
        history = d->s1Stages->editor()->undoStack();
    else if (!d->s2Stages->isHidden())
        history = d->s2Stages->editor()->undoStack();
    d->undo->setActiveStack(history);
}

void frmZorpII::ShowFrame(const QString& key)
{
    const QString wanted = QStringLiteral("FRA") + key.toUpper();
    for (QWidget* child : d->host->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->objectName().startsWith(QLatin1String("fra"), Qt::CaseInsensitive))
            child->setVisible(child->objectName().toUpper() == wanted);
    }
    UpdateUndoTarget();
}

bool frmZorpII::ChangeTemplate()
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = QStringLiteral("Select ZORP-II Template");
    request.filter = QStringLiteral("ZORP-II Template Files (*.ZORP)|*.ZORP");
    request.fileName = d->templateFile;
    request.mustExist = true;
    const FileDialogResult chosen = d->context.platform.files->run(this, request);
    if (!chosen.accepted || ResetWorkspace() == 1)
        return false;
    d->templateFile = chosen.path;
    if (LoadFrames() != TemplateRefusal::None) {
        // The window has closed itself; say why, since the main menu that
        // opened it is not the one asking now.
        d->context.platform.messages->show(
            nullptr, {QStringLiteral("Template Refused"),
                      QStringLiteral("The template \"%1\" cannot be used by this version of ZORP-II.\n"
                                     "This workspace has been closed; open the ROM again from the main menu.")
                          .arg(QFileInfo(chosen.path).fileName()),
                      Icon::Information, Buttons::Ok});
        return false;
    }
    LoadROM(d->romFile);
    return true;
}

bool frmZorpII::LoadROM(const QString& romFile)
{
    d->romFile = romFile;
    std::optional<Bytes> image;
    {
        BusyCursor busy;
        image = ReadFileBytes(ToNativePath(romFile), kMaxIdentifiedRomSize);
    }
    if (!image) {
        d->loadedStamp.reset();
        const std::optional<uint64_t> size = FileSize(ToNativePath(romFile));
        ShowFileError(d->context.platform, this, QStringLiteral("Cannot Read ROM"), romFile,
                      size && *size > kMaxIdentifiedRomSize
                          ? QStringLiteral("The file is larger than %1 MB, too large to be a cartridge image.")
                                .arg(kMaxIdentifiedRomSize >> 20)
                          : QStringLiteral("The file does not exist or cannot be opened."));
        return true;
    }
    // Every editor reads the bytes the stamp was taken of.
    d->loadedStamp = StampOf(*image);
    const ImageSource rom(*image);
    {
        BusyCursor busy;
        if (d->levelSelect->active())
            d->levelSelect->Load(rom);
        if (d->playlist->active())
            d->playlist->Load(rom);
        if (d->stages->active()) {
            const SpecialStageFrame::LoadResult stageLoad = d->stages->Load(rom, romFile);
            if (stageLoad.fileVersion == 1 || stageLoad.fileVersion == 2)
                d->button(stageLoad.fileVersion == 1 ? QStringLiteral("S3S_1") : QStringLiteral("S3S_2"))
                    ->setChecked(true);
        }
        if (d->palette->active())
            d->palette->Load(romFile);
        if (d->wav->active())
            d->wav->LoadFromRom(rom);
        if (d->s1Stages->active())
            d->s1Stages->Load(*image);
        // Sonic 2's compressed data: a stream that cannot be read disables
        // its editor, with the reason shown in it and said once here.
        const CodecCalls codec = CodecCallsOf(d->context.codec);
        std::vector<Message> failed;
        if (d->s2Levels->active())
            if (auto error = d->s2Levels->Load(rom, codec))
                failed.push_back(*error);
        if (d->s2Stages->active())
            if (auto error = d->s2Stages->Load(rom, codec))
                failed.push_back(*error);
        for (const Message& message : failed)
            ShowMessage(d->context.platform, this, message);
    }
    const bool cartridge = !d->stages->fileMode() && RomKindOfPath(ToNativePath(romFile)) == RomKind::Genesis;
    d->button(QStringLiteral("FixChecksum"))->setVisible(cartridge);
    if (cartridge)
        ShowChecksum(HeaderChecksumOf(*image));
    else
        d->checksumStatus->setText(d->stages->fileMode()
                                       ? QStringLiteral("A special stage file has no cartridge header.")
                                       : QStringLiteral("This kind of ROM has no Genesis header checksum."));
    return CheckTemplateFits(*image);
}

bool frmZorpII::CheckTemplateFits(const Bytes& image)
{
    const FitVerdict verdict = CheckTemplateFit(d->fit, image);
    if (verdict.fits) {
        SetReadOnly(false);
        return true;
    }
    // Restoring a ROM already open read-only keeps it so without asking again.
    if (d->readOnly)
        return true;
    const RomIdentification identity =
        IdentifyRomImage(d->context.definitions, RomKindOfPath(ToNativePath(d->romFile)), image);
    const QString madeFor = d->fit.madeFor.empty() ? QStringLiteral("another image") : FromBytes(d->fit.madeFor);
    const QString imageIs = identity.gameId == kGameIdUnknown ? QStringLiteral("an image it does not recognise")
                                                              : FromBytes(DescribeGame(d->context.definitions, identity));
    const Answer answer = d->context.platform.messages->show(
        this, {QStringLiteral("Template Does Not Fit"),
               QStringLiteral("The template \"%1\" was made for %2, but this ROM is %3.\n%4\n"
                              "Saving with it would write into the wrong places and damage the game.\n\n"
                              "Yes: open the ROM read-only.\nNo: choose another template.\nCancel: close the workspace.")
                   .arg(QFileInfo(d->templateFile).fileName(), madeFor, imageIs, FromBytes(verdict.detail)),
               Icon::Exclamation, Buttons::YesNoCancel});
    if (answer == Answer::Cancel) {
        d->closingWithoutQuestions = true;
        close();
        return false;
    }
    // Read-only until another template that fits is loaded (No, and a choice).
    SetReadOnly(true);
    if (answer == Answer::No)
        ChangeTemplate();
    return !d->closingWithoutQuestions;
}

void frmZorpII::SetReadOnly(bool readOnly)
{
    d->readOnly = readOnly;
    d->button(QStringLiteral("Save"))->setEnabled(!readOnly);
    d->button(QStringLiteral("FixChecksum"))->setEnabled(!readOnly);
    d->readOnlyStatus->setVisible(readOnly);
}

void frmZorpII::ShowReadOnlyRefusal()
{
    d->context.platform.messages->show(
        this, {QStringLiteral("Read-Only"),
               QStringLiteral("This ROM is open read-only because the template \"%1\" does not fit it, "
                              "so nothing was written.\nChoose a fitting template with the Template button.")
                   .arg(QFileInfo(d->templateFile).fileName()),
               Icon::Exclamation, Buttons::Ok});
}

void frmZorpII::ShowChecksum(const HeaderChecksum& checksum)
{
    d->checksumStatus->setText(ChecksumStatusText(checksum));
    d->checksumStatus->setToolTip(d->checksumStatus->text());
    // A stale checksum is shown in red: the game will not start.
    const bool stale = checksum.present && !checksum.matches();
    d->checksumStatus->setProperty("stale", stale);
    d->checksumStatus->setStyleSheet(stale ? QStringLiteral("color: #b00000;") : QString());
}

bool frmZorpII::FixChecksumOnSave() const { return d->fixChecksumOnSave->isChecked(); }

bool frmZorpII::WriteToRom(const QString& romFile, const std::vector<Patch>& patches, bool fixChecksum,
                           const RelocatingSave& moved)
{
    const std::string path = ToNativePath(romFile);
    SaveOptions options;
    options.fixChecksum = fixChecksum;
    options.growTo = moved.growTo;
    options.growFiller = moved.filler;
    options.expected = d->loadedStamp;
    SaveResult result;
    {
        BusyCursor busy;
        result = SavePatches(path, patches, options);
    }
    if (result.outcome == SaveOutcome::Changed) {
        const Answer answer = d->context.platform.messages->show(
            this, {QStringLiteral("ROM Changed on Disk"),
                   QStringLiteral("The file\n%1\nhas been changed by another window or program since this workspace "
                                  "loaded it.\nSaving now would overwrite those changes with what this workspace "
                                  "shows.\nOverwrite the file anyway?")
                       .arg(romFile),
                   Icon::Exclamation, Buttons::YesNo});
        if (answer != Answer::Yes)
            return false;
        options.expected.reset();
        BusyCursor busy;
        result = SavePatches(path, patches, options);
    }
    if (!result.ok()) {
        ShowFileError(d->context.platform, this, QStringLiteral("Cannot Save ROM"), romFile,
                      QStringLiteral("Nothing was written: ") + FromBytes(result.error) + QLatin1Char('.'));
        return false;
    }
    d->loadedStamp = result.stamp;
    if (d->button(QStringLiteral("FixChecksum"))->isVisible())
        ShowChecksum(result.checksum);
    return true;
}

void frmZorpII::FixChecksum()
{
    d->levelSelect->CommitOpenEdit();
    if (d->readOnly) {
        ShowReadOnlyRefusal();
        return;
    }
    if (HasUnsavedEdits()) {
        const Answer answer = d->context.platform.messages->show(
            this, {QStringLiteral("Unsaved Edits"),
                   QStringLiteral("This workspace has edits that are not saved yet.\n"
                                  "Yes: save them together with the fixed checksum.\n"
                                  "No: write only the checksum; the edits stay unsaved.\nCancel: write nothing."),
                   Icon::Question, Buttons::YesNoCancel});
        if (answer == Answer::Cancel)
            return;
        if (answer == Answer::Yes) {
            SaveEdits(d->romFile, true);
            return;
        }
    }
    WriteToRom(d->romFile, {}, true, RelocatingSave{});
}

bool frmZorpII::SaveROM(const QString& romFile) { return SaveEdits(romFile, FixChecksumOnSave()); }

bool frmZorpII::SaveEdits(const QString& romFile, bool fixChecksum)
{
    const std::string path = ToNativePath(romFile);
    auto fail = [&](const QString& reason) {
        ShowFileError(d->context.platform, this, QStringLiteral("Cannot Save ROM"), romFile, reason);
    };

    if (d->stages->fileMode()) {
        const bool v1 = d->button(QStringLiteral("S3S_1"))->isChecked();
        const bool v2 = d->button(QStringLiteral("S3S_2"))->isChecked();
        if (!v1 && !v2) {
            d->context.platform.messages->show(this, {QStringLiteral("Invalid format"),
                                                      QStringLiteral("Invalid S3S format selected."),
                                                      Icon::Critical, Buttons::Ok});
            return false;
        }
        const QString refusal = d->stages->FileSaveRefusal(FileSource(path));
        if (!refusal.isEmpty()) {
            fail(refusal);
            return false;
        }
        QFile probe(romFile);
        if (probe.exists() && !probe.open(QIODevice::ReadWrite)) {
            fail(QStringLiteral("Nothing was written: the file cannot be opened for writing (") +
                 probe.errorString() + QStringLiteral(")."));
            return false;
        }
        probe.close();
        BusyCursor busy;
        // The file is replaced as a whole, so no trailing bytes of a longer
        // old file (an old comment) survive.
        const std::string error = WriteFileBytes(path, d->stages->FileBytes(v1 ? 1 : 2));
        if (!error.empty()) {
            fail(QStringLiteral("Nothing was written: ") + FromBytes(error) + QLatin1Char('.'));
            return false;
        }
        d->stages->SetModified(false);
        return true;
    }
    if (d->readOnly) {
        ShowReadOnlyRefusal();
        return false;
    }

    // Check the file before any question is asked. The patches below replace
    // the file in one step, which would otherwise also succeed on a
    // write-protected file in a writable folder.
    FileSource rom(path);
    if (!rom.IsOpen()) {
        fail(QStringLiteral("Nothing was written: the file does not exist or cannot be opened."));
        return false;
    }
    {
        QFile probe(romFile);
        if (!probe.open(QIODevice::ReadWrite)) {
            fail(QStringLiteral("Nothing was written: the file cannot be opened for writing (") +
                 probe.errorString() + QStringLiteral(")."));
            return false;
        }
    }
    if (d->loadedStamp && rom.Size() != d->loadedStamp->size) {
        fail(QStringLiteral("Nothing was written: the file's length changed since it was loaded "
                            "(%1 bytes then, %2 bytes now). Restore it from the ROM first.")
                 .arg(d->loadedStamp->size)
                 .arg(rom.Size()));
        return false;
    }

    std::vector<Patch> patches;
    QStringList notSaved;
    // Which editors' data the write holds in full: only those count as saved
    // afterwards, so edits that could not be written still ask before they go.
    SavedEditors saved;
    if (d->levelSelect->active()) {
        std::vector<int> rowsPastEnd;
        for (Patch& p : d->levelSelect->Patches(rom.Size(), rowsPastEnd))
            patches.push_back(std::move(p));
        saved.levelSelect = rowsPastEnd.empty();
        if (!rowsPastEnd.empty())
            ShowMessage(d->context.platform, this, LevelNamesPastEndMessage(rowsPastEnd));
    }
    if (d->playlist->active()) {
        if (std::optional<Patch> block = d->playlist->BlockPatch(rom)) {
            patches.push_back(std::move(*block));
            saved.playlist = true;
        } else {
            notSaved << QStringLiteral("the playlist");
        }
    }
    SpecialStageFrame::SavePlan stagePlan;
    if (d->stages->active()) {
        stagePlan = d->stages->PrepareSave(rom.Size());
        if (stagePlan.patch)
            patches.push_back(*stagePlan.patch);
    }
    if (d->wav->active()) {
        if (std::optional<Patch> sample = d->wav->SamplePatch(rom.Size())) {
            patches.push_back(std::move(*sample));
            saved.wav = true;
        } else {
            notSaved << QStringLiteral("the WAV sample");
        }
    }
    if (!notSaved.isEmpty())
        d->context.platform.messages->show(
            this, {QStringLiteral("Not Saved"),
                   QStringLiteral("These parts lie past the end of the ROM file and were not saved: ") +
                       notSaved.join(QStringLiteral(", ")) + QLatin1Char('.'),
                   Icon::Exclamation, Buttons::Ok});

    // The palette on show goes last, as it was written last before.
    if (d->palette->active()) {
        if (std::optional<Patch> palette = d->palette->editor()->PendingPatch())
            patches.push_back(std::move(*palette));
    }
    // Streams that can move are placed last, in the image as loaded (its
    // free space is checked byte by byte); a declined growth writes nothing.
    RelocatingSave moved;
    const std::vector<RelocatingEditor*> relocating = d->relocating();
    const bool anyMoving =
        std::any_of(relocating.begin(), relocating.end(), [](RelocatingEditor* e) { return e->WantsToSave(); });
    if (anyMoving) {
        const std::optional<Bytes> image = ReadFileBytes(path, kMaxIdentifiedRomSize);
        if (!image) {
            fail(QStringLiteral("Nothing was written: the file cannot be read."));
            return false;
        }
        moved = PlanRelocatingSaves(relocating, *image, d->context.platform, this);
        if (!moved.ok)
            return false;
        for (Patch& p : moved.patches)
            patches.push_back(std::move(p));
    }
    if (!WriteToRom(romFile, patches, fixChecksum, moved))
        return false;
    if (anyMoving) {
        if (const std::optional<Bytes> now = ReadFileBytes(path, kMaxIdentifiedRomSize))
            for (RelocatingEditor* editor : relocating)
                if (editor->WantsToSave())
                    editor->Saved(*now);
        if (!moved.told.isEmpty())
            d->context.platform.messages->show(this, PlacementsMessage(moved));
    }
    d->stages->SaveWritten(stagePlan);
    MarkEditorsSaved(saved);
    if (d->palette->active())
        d->palette->editor()->setPaletteModified(false);
    return true;
}

void frmZorpII::MarkEditorsSaved(const SavedEditors& saved)
{
    if (saved.levelSelect)
        d->levelSelect->SetModified(false);
    if (saved.playlist)
        d->playlist->SetModified(false);
    if (saved.wav)
        d->wav->SetModified(false);
}

bool frmZorpII::HasUnsavedEdits() const
{
    return (d->levelSelect->active() && d->levelSelect->Modified()) ||
           (d->palette->active() && d->palette->Modified()) ||
           (d->playlist->active() && d->playlist->Modified()) ||
           (d->stages->active() && d->stages->Modified()) || (d->wav->active() && d->wav->Modified()) ||
           d->s1Stages->Modified() || (d->s2Levels->active() && d->s2Levels->Modified()) ||
           (d->s2Stages->active() && d->s2Stages->Modified());
}

void frmZorpII::Play()
{
    d->levelSelect->CommitOpenEdit();
    const Platform& platform = d->context.platform;
    if (HasUnsavedEdits()) {
        const Answer answer = platform.messages->show(
            this, {QStringLiteral("Save Before Playing"),
                   QStringLiteral("This ROM has changes that have not been saved.\n"
                                  "Would you like to save them before playing?"),
                   Icon::Question, Buttons::YesNoCancel});
        if (answer == Answer::Cancel)
            return;
        // A save that failed has said why; the emulator would start on a
        // file that is not what the user sees.
        if (answer == Answer::Yes && !SaveROM(d->romFile))
            return;
    }

    const QString command = EmulatorCommand(platform);
    const QStringList words = CommandWords(command, QDir::toNativeSeparators(d->romFile));
    if (words.isEmpty() || !platform.programs) {
        platform.messages->show(
            this, {QStringLiteral("No Emulator"),
                   QStringLiteral("No emulator is set, and neither blastem nor mednafen was found on the PATH "
                                  "or in /usr/games.\n"
                                  "Install one (for example: apt-get install blastem), or set the command line "
                                  "with Emulator in the main menu."),
                   Icon::Information, Buttons::Ok});
        return;
    }
    QString error;
    if (!platform.programs->startDetached(words.first(), words.mid(1), error))
        platform.messages->show(this, {QStringLiteral("Cannot Start Emulator"),
                                       command + QLatin1Char('\n') + error +
                                           QStringLiteral("\nCheck the command line with Emulator in the main menu."),
                                       Icon::Critical, Buttons::Ok});
}

int frmZorpII::CheckPalModified()
{
    // The palette editor asks "Save Palette" itself; a palette that could not
    // be written counts as a cancel, so it is not thrown away.
    if (!d->palette->active())
        return 0;
    return d->palette->MaybeSave() ? 0 : 1;
}

int frmZorpII::AskSaveStages()
{
    // Edits to special stages of any game are asked about when closing.
    const auto stagesModified = [this] {
        return (d->stages->active() && d->stages->Modified()) || d->s1Stages->Modified() ||
               (d->s2Stages->active() && d->s2Stages->Modified());
    };
    if (!stagesModified())
        return 0;
    const Answer answer = d->context.platform.messages->show(
        this, {QStringLiteral("Save ROM Changes"),
               QStringLiteral("Changes to this ROM have not been saved.\nWould you like to save the changes?"),
               Icon::Question, Buttons::YesNoCancel});
    if (answer == Answer::Cancel)
        return 1;
    if (answer == Answer::Yes) {
        SaveROM(d->romFile);
        // A save that could not store the stages (file error, no room,
        // compression declined) must not lose them.
        if (stagesModified())
            return 1;
    }
    return 2;
}

int frmZorpII::ResetWorkspace()
{
    // Unsaved special stages would be lost by the reload that follows a
    // template change, so they are asked about as on closing.
    const int stages = AskSaveStages();
    if (stages == 1)
        return 1;
    if (CheckPalModified() == 1)
        return 1;

    d->wav->StopPlayback();
    for (EditorFrame* frame : d->frames())
        frame->Clear();
    for (QAction* button : d->editorButtons->actions() + d->formatButtons->actions()) {
        button->setChecked(false);
        button->setVisible(false);
    }
    d->button(QStringLiteral("Play"))->setEnabled(true);
    return 0;
}

void frmZorpII::closeEvent(QCloseEvent* event)
{
    if (!d->closingWithoutQuestions) {
        const int stages = AskSaveStages();
        if (stages == 1 || (stages == 0 && CheckPalModified() == 1)) {
            event->ignore();
            return;
        }
    }
    d->wav->StopPlayback();
    event->accept();
}

} // namespace zorp::ui

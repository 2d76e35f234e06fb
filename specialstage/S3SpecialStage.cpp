#include "specialstage/S3SpecialStage.h"

#include <QAbstractItemView>
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QPainter>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <algorithm>
#include <cmath>

#include "platform/ActionAccess.h"
#include "specialstage/StageCanvas.h"
#include "specialstage/EditCommand.h"
#include "specialstage/GridKeyboard.h"
#include "specialstage/StageImage.h"
#include "specialstage/StagePictures.h"
#include "specialstage/StartMarker.h"
#include "specialstage/frmS3SCSelect.h"
#include "specialstage/frmStartingDirection.h"

namespace zorp::ui {

namespace {

constexpr int kControlWidth = 386;
constexpr int kTopRowHeight = 24;
// Below the grid: the object counts, then the warning and "Export Image...".
constexpr int kCountsTop = kTopRowHeight + kSurfacePixels + 4;
constexpr int kCountsHeight = 24;
constexpr int kWarningHeight = 26;
constexpr int kControlHeight = kCountsTop + kCountsHeight + kWarningHeight;

// The largest S3S file Import reads: an S3S/C of 65535 stages is about 34 MiB.
constexpr uint64_t kMaxS3SFileBytes = 64ull << 20;
// A version 2.00 comment can run to the end of a large file; the box shows
// only its beginning.
constexpr size_t kMaxCommentShown = 4096;

const QString kClearQuestion = QStringLiteral(
    "Are you sure you want to clear the special stage?\n(You can always revert to the original stage by clicking\n"
    "the Open button.)");
const QString kExportFilter =
    QStringLiteral("ZORP S3S v2.00 file (*.S3S)|*.S3S|ZORP S3S v1.00 file (*.S3S)|*.S3S");
const QString kImportFilter = QStringLiteral("ZORP S3S format special stages (v1/2) (*.S3S)|*.S3S");

// The object tools, in tool bar order. The first pressed one is the tool in
// use; code -1 is the start position tool.
struct ToolSpec {
    const char* key;
    int code;
    const char* tip;
    const char* undoText;
};
constexpr ToolSpec kTools[] = {
    {"Empty", zorp::Empty, "Delete spheres", "Delete Spheres"},
    {"Blue", zorp::Blue, "Place blue spheres on the stage.", "Place Blue Spheres"},
    {"Red", zorp::Red, "Place red spheres on the stage.", "Place Red Spheres"},
    {"Yellow", zorp::Yellow, "Place yellow spheres on the stage.", "Place Yellow Spheres"},
    {"Star", zorp::Star, "Place star spheres on the stage.", "Place Star Spheres"},
    {"Ring", zorp::Ring, "Place rings on the stage.", "Place Rings"},
    {"Arrow", -1, "Set the player's starting position.", ""},
};
constexpr int kArrowTool = 6;
constexpr int kYellowTool = 3;

// Pointer position rounded to whole pixels (halves away from zero).
QPoint RoundedPixel(QPointF position)
{
    return {static_cast<int>(std::lround(position.x())), static_cast<int>(std::lround(position.y()))};
}

// Cell of a pixel coordinate; negative pixels lie outside the grid.
int CellOfPixel(int pixel) { return pixel < 0 ? -1 : pixel / kCellPixels; }

} // namespace

S3SpecialStage::S3SpecialStage(QWidget* parent) : S3SpecialStage(Platform{}, parent) {}

S3SpecialStage::S3SpecialStage(const Platform& platform, QWidget* parent)
    : QWidget(parent),
      platform_(platform),
      askDirection_(&frmStartingDirection::Ask),
      chooseStage_(&frmS3SCSelect::Ask)
{
    setObjectName("S3SpecialStage");
    setAccessibleName("S3SpecialStage");
    setAccessibleDescription("Special stage editor");
    setFixedSize(kControlWidth, kControlHeight);

    undo_ = new QUndoStack(this);
    connect(undo_, &QUndoStack::cleanChanged, this, &S3SpecialStage::notifyModified);
    connect(undo_, &QUndoStack::indexChanged, this, &S3SpecialStage::notifyModified);

    buildToolBar();
    buildTopRow();

    canvas_ = new StageCanvas(this);
    canvas_->move(1, kTopRowHeight + 1);
    connect(canvas_, &StageCanvas::pressed, this, &S3SpecialStage::onCanvasPressed);
    connect(canvas_, &StageCanvas::moved, this, &S3SpecialStage::onCanvasMoved);
    connect(canvas_, &StageCanvas::released, this, &S3SpecialStage::onCanvasReleased);

    keyboard_ = new GridKeyboard(canvas_, zorp::kStageSide, zorp::kStageSide);
    canvas_->setKeyboard(keyboard_);
    const char initials[] = {'E', 'B', 'R', 'Y', 'S', 0, 'A'};
    for (int tool = 0; tool < static_cast<int>(std::size(kTools)); ++tool) {
        keyboard_->setToolKey(Qt::Key_1 + tool, tool);
        if (initials[tool])
            keyboard_->setToolKey(initials[tool], tool);
    }
    connect(keyboard_, &GridKeyboard::toolChosen, this, &S3SpecialStage::chooseTool);
    connect(keyboard_, &GridKeyboard::placeRequested, this, [this](QPoint cell) {
        ++stroke_; // one key press is one command
        actOnCell(cell.x(), cell.y(), false);
        ++stroke_;
    });
    connect(keyboard_, &GridKeyboard::clearRequested, this, [this](QPoint cell) {
        const int index = zorp::CellIndex(cell.x(), cell.y());
        PushEdit(undo_, std::make_unique<zorp::CellsEdit>(
                            doc_, 0, std::vector<zorp::CellsEdit::Change>{{index, doc_.Grid()[index], zorp::Empty}},
                            kTools[0].undoText));
    });
    connect(keyboard_, &GridKeyboard::stageStepRequested, this, [this](int step) {
        if (ShowStageNumCombo())
            stageCombo_->setCurrentIndex(std::clamp(stageCombo_->currentIndex() + step, 0, stageCombo_->count() - 1));
    });

    doc_.Observe([this](const zorp::DocumentChange& change) { onDocumentChanged(change); });

    buildCountsRow();
    layoutTopRow();
    redrawAll();
}

S3SpecialStage::~S3SpecialStage()
{
    // The commands point back at this control; drop them while it is whole.
    undo_->clear();
}

void S3SpecialStage::setDirectionAsker(DirectionAsker asker)
{
    askDirection_ = asker ? std::move(asker) : DirectionAsker(&frmStartingDirection::Ask);
}

void S3SpecialStage::setCompilationChooser(CompilationChooser chooser)
{
    chooseStage_ = chooser ? std::move(chooser) : CompilationChooser(&frmS3SCSelect::Ask);
}

void S3SpecialStage::buildToolBar()
{
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName("tlbObject");
    toolBar_->setAccessibleName("tlbObject");
    toolBar_->setAccessibleDescription("Special stage tools");
    toolBar_->setIconSize(QSize(16, 16));
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);
    toolBar_->setStyleSheet("QToolBar { border: none; padding: 0px; spacing: 0px; }"
                            "QToolButton { padding: 1px; margin: 0px; }");

    tools_ = new QActionGroup(this);
    tools_->setExclusive(true);

    auto addButton = [this](const QString& key, const QString& tip) {
        QAction* action = toolBar_->addAction(ToolIcon(key), key);
        action->setObjectName(key);
        action->setToolTip(tip);
        if (QWidget* button = toolBar_->widgetForAction(action)) {
            button->setObjectName(key);
            button->setAccessibleName(key);
            button->setAccessibleDescription(tip);
        }
        return action;
    };
    for (const ToolSpec& tool : kTools) {
        QAction* action = addButton(tool.key, tool.tip);
        action->setCheckable(true);
        tools_->addAction(action);
        toolActions_ << action;
    }
    clearAction_ = addButton("Clear", "Clear the special stage.");
    separator_ = toolBar_->addSeparator();
    separator_->setObjectName("S3S_Sep");
    exportAction_ = addButton("Export", "Export the special stage to an S3S file.");
    importAction_ = addButton("Import", "Import a special stage from an S3S file.");

    // A screen reader's "Toggle" on a tool picks that tool, as a click does.
    MakeToolButtonsAccessible(toolBar_);
    connect(clearAction_, &QAction::triggered, this, &S3SpecialStage::clearStage);
    connect(exportAction_, &QAction::triggered, this, &S3SpecialStage::exportStage);
    connect(importAction_, &QAction::triggered, this, &S3SpecialStage::importStage);
}

void S3SpecialStage::buildTopRow()
{
    stageCombo_ = new QComboBox(this);
    stageCombo_->setObjectName("cboSpecialStage");
    stageCombo_->setAccessibleName("cboSpecialStage");
    stageCombo_->setAccessibleDescription("Stage number");
    // The built-in entries until the host sets Stages.
    for (int k = 1; k <= 7; ++k)
        stageCombo_->addItem(QString("Stage %1").arg(k));
    stageCombo_->addItem("Stage 8 (Secret)");
    stageCombo_->setCurrentIndex(0);
    // The combo is narrow; its list opens wide enough for the longest name.
    stageCombo_->view()->setMinimumWidth(stageCombo_->view()->sizeHintForColumn(0) + 24);
    connect(stageCombo_, &QComboBox::currentIndexChanged, this, &S3SpecialStage::onStageComboChanged);

    ringsCaption_ = new QLabel(this);
    ringsCaption_->setObjectName("lblRings");
    ringsCaption_->setPixmap(QPixmap::fromImage(CellPicture(zorp::Ring)));
    ringsCaption_->setAlignment(Qt::AlignCenter);
    ringsCaption_->setToolTip("Perfect rings");
    ringsCaption_->setAccessibleName("lblRings");
    ringsCaption_->setAccessibleDescription("Perfect rings");

    rings_ = new QSpinBox(this);
    rings_->setObjectName("udRings");
    rings_->setAccessibleName("udRings");
    rings_->setAccessibleDescription("Perfect-ring count");
    rings_->setToolTip("Perfect rings: the number of rings on the stage");
    rings_->setRange(0, zorp::kMaxRings);
    // The spin box's text field is the ring box the user types into.
    if (auto* text = rings_->findChild<QLineEdit*>()) {
        text->setObjectName("txtRings");
        text->setAccessibleName("txtRings");
    }
    connect(rings_, &QSpinBox::valueChanged, this, &S3SpecialStage::onRingsEdited);
}

void S3SpecialStage::buildCountsRow()
{
    counts_ = new QLabel(this);
    counts_->setObjectName("lblStageCounts");
    counts_->setAccessibleName("Stage counts");
    counts_->setGeometry(2, kCountsTop, kControlWidth - 4, kCountsHeight);

    exportImage_ = new QPushButton("Export Image...", this);
    exportImage_->setObjectName("cmdExportImage");
    exportImage_->setAccessibleName(exportImage_->text());
    exportImage_->setToolTip("Save the stage as shown as a PNG picture.");
    exportImage_->setGeometry(kControlWidth - 106, kCountsTop + kCountsHeight, 106, kWarningHeight - 2);
    connect(exportImage_, &QPushButton::clicked, this, &S3SpecialStage::exportImage);

    warning_ = new QLabel(this);
    warning_->setObjectName("lblStageWarning");
    warning_->setAccessibleName("Stage warning");
    warning_->setStyleSheet("color: #b00000;");
    warning_->setGeometry(2, kCountsTop + kCountsHeight, kControlWidth - 112, kWarningHeight - 2);
}

void S3SpecialStage::updateCounts()
{
    const zorp::StageCounts counts = zorp::CountStageObjects(doc_.Grid());
    QString text = QString("Blue %1, Red %2, Rings %3, Stars %4")
                       .arg(counts.blue)
                       .arg(counts.red)
                       .arg(counts.rings)
                       .arg(counts.stars);
    if (EnableYellowSphere() || counts.yellow > 0)
        text += QString(", Yellow %1").arg(counts.yellow);
    counts_->setText(text);
    // A warning only: an empty stage is a normal step while building one.
    warning_->setText(counts.finishable() ? QString() : QString("No blue sphere: it can never be finished."));
}

void S3SpecialStage::exportImage()
{
    if (!platform_.files)
        return;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = "Export Image";
    request.filter = "PNG Images (*.png)|*.png";
    request.confirmOverwrite = true;
    const FileDialogResult result = platform_.files->run(this, request);
    if (!result.accepted || result.path.isEmpty())
        return;
    const zorp::Bytes png = EncodePng(RenderStageImage(doc_.Grid(), doc_.Start()));
    const std::string error = png.empty() ? std::string("the picture could not be encoded")
                                          : zorp::WriteFileBytes(ToBytes(result.path), png);
    if (!error.empty()) {
        ask({"Export Image", "The picture could not be written to\n" + result.path + "\n(" + FromBytes(error) + ")",
             Icon::Critical, Buttons::Ok});
    }
}

void S3SpecialStage::layoutTopRow()
{
    toolBar_->adjustSize();
    const int toolBarWidth = toolBar_->sizeHint().width();
    toolBar_->setGeometry(0, 0, toolBarWidth, kTopRowHeight);

    constexpr int ringsWidth = 54;
    constexpr int captionWidth = 16;
    constexpr int controlHeight = 22;
    const int ringsX = kControlWidth - ringsWidth - 1;
    rings_->setGeometry(ringsX, 1, ringsWidth, controlHeight);
    ringsCaption_->setGeometry(ringsX - captionWidth - 1, 1, captionWidth, controlHeight);
    const int comboX = toolBarWidth + 3;
    stageCombo_->setGeometry(comboX, 1, std::max(40, ringsCaption_->x() - 4 - comboX), controlHeight);
}

void S3SpecialStage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QColor(90, 100, 120));
    painter.drawRect(QRect(0, kTopRowHeight, kSurfacePixels + 1, kSurfacePixels + 1));
}

// ---- Properties -----------------------------------------------------------

bool S3SpecialStage::EnableYellowSphere() const { return toolActions_[kYellowTool]->isVisible(); }

void S3SpecialStage::setEnableYellowSphere(bool enable)
{
    QAction* yellow = toolActions_[kYellowTool];
    if (!enable && yellow->isChecked())
        yellow->setChecked(false); // a hidden tool cannot stay the one in use
    yellow->setVisible(enable);
    layoutTopRow();
    updateCounts();
}

bool S3SpecialStage::EnableS3SFunctions() const { return importAction_->isVisible(); }

void S3SpecialStage::setEnableS3SFunctions(bool enable)
{
    separator_->setVisible(enable);
    exportAction_->setVisible(enable);
    importAction_->setVisible(enable);
    layoutTopRow();
}

int S3SpecialStage::CurrentStage() const { return stageCombo_->currentIndex(); }

bool S3SpecialStage::ShowStageNumCombo() const { return !stageCombo_->isHidden(); }

void S3SpecialStage::setShowStageNumCombo(bool show) { stageCombo_->setVisible(show); }

bool S3SpecialStage::StageModified() const { return baseModified_ || !undo_->isClean(); }

void S3SpecialStage::setStageModified(bool modified)
{
    baseModified_ = modified;
    if (!modified)
        undo_->setClean();
    notifyModified();
}

void S3SpecialStage::setShowArrows(bool show)
{
    showArrows_ = show;
    QAction* arrow = toolActions_[kArrowTool];
    if (!show && arrow->isChecked())
        arrow->setChecked(false);
    arrow->setVisible(show);
    // A stage without start data has no ring count to edit either.
    if (!show)
        doc_.SetRingsShown(false);
    layoutTopRow();
}

void S3SpecialStage::setStages(int count)
{
    count = std::clamp(count, 0, zorp::kMaxStageRecords);
    stages_ = count;
    {
        const QSignalBlocker block(stageCombo_);
        stageCombo_->clear();
        for (int k = 1; k <= count; ++k)
            stageCombo_->addItem(QString("Stage %1").arg(k));
        stageCombo_->setCurrentIndex(count > 0 ? 0 : -1);
    }
    stageCombo_->view()->setMinimumWidth(stageCombo_->view()->sizeHintForColumn(0) + 24);
    lastStageIndex_ = stageCombo_->currentIndex();
}

// ---- Methods ----------------------------------------------------------------

zorp::StageGrid S3SpecialStage::GetStage() const { return doc_.Grid(); }

void S3SpecialStage::PutStage(const zorp::StageGrid& NewStage)
{
    zorp::S3StageState next = doc_.State();
    next.cells = NewStage;
    next.ringsShown = false; // shown again when start data arrive
    replaceFromHost(next);
}

void S3SpecialStage::ArrowProperties(const zorp::PropertiesSection& Properties)
{
    zorp::S3StageState next = doc_.State();
    if (showArrows_) {
        zorp::ApplyProperties(Properties, next.start);
        next.ringsShown = true;
    } else {
        next.ringsShown = false;
    }
    replaceFromHost(next);
}

zorp::StartData S3SpecialStage::GetArrowProperties() const { return doc_.Start(); }

void S3SpecialStage::GetArrowProperties(int16_t* Direction, int32_t* Row, int32_t* Column, int32_t* Rings) const
{
    const zorp::StartData& start = doc_.Start();
    if (Direction)
        *Direction = start.Direction;
    if (Row)
        *Row = start.Row;
    if (Column)
        *Column = start.Column;
    if (Rings)
        *Rings = start.Rings;
}

void S3SpecialStage::SetArrowProperties(int Direction, int Row, int Column, int Rings)
{
    zorp::S3StageState next = doc_.State();
    if (showArrows_) {
        next.start.Direction = static_cast<int16_t>(Direction);
        next.start.Row = Row;
        next.start.Column = Column;
        next.start.Rings = zorp::ClampRings(Rings);
        next.ringsShown = true;
    } else {
        next.ringsShown = false;
    }
    replaceFromHost(next);
}

void S3SpecialStage::DrawSphere(int X, int Y, int SphereNum, bool NoArrow)
{
    if (!zorp::IsOnGrid(X, Y))
        return;
    QPainter painter(&canvas_->surface());
    DrawCell(painter, X, Y, SphereNum);
    const zorp::StartData& start = doc_.Start();
    if (!NoArrow && X == start.Column && Y == start.Row)
        DrawStartMarker(painter, X, Y, start.Direction);
    painter.end();
    canvas_->update(QRect(X * kCellPixels, Y * kCellPixels, kCellPixels, kCellPixels));
}

zorp::Bytes S3SpecialStage::SaveV1SS() const
{
    return zorp::SaveV1SS(doc_.Grid(), zorp::TrailerFromStart(doc_.Start()));
}

zorp::Bytes S3SpecialStage::SaveV2SS() const
{
    return zorp::SaveV2SS(doc_.Grid(), zorp::TrailerFromStart(doc_.Start()));
}

void S3SpecialStage::LoadV1SS(const zorp::Bytes& file) { replaceFromHost(stateFromFile(zorp::LoadV1SS(file))); }

void S3SpecialStage::LoadV2SS(const zorp::Bytes& file, const QString& Filename)
{
    const zorp::S3SStage stage = zorp::LoadV2SS(file);
    replaceFromHost(stateFromFile(stage));
    showComment(stage.comment, Filename.isEmpty() ? lastDialogFileName_ : Filename);
}

bool S3SpecialStage::LoadS3SC(const zorp::Bytes& file)
{
    const std::optional<zorp::S3StageState> next = stateFromCompilation(file);
    if (!next)
        return false;
    replaceFromHost(*next);
    return true;
}

// ---- Reading S3S files ------------------------------------------------------

zorp::S3StageState S3SpecialStage::stateFromFile(const zorp::S3SStage& stage) const
{
    zorp::S3StageState next = doc_.State();
    next.cells = stage.cells;
    if (showArrows_) {
        zorp::ApplyTrailer(stage.trailer, next.start);
        next.ringsShown = true;
    } else {
        next.ringsShown = false;
    }
    // The ring count is taken even when the stage has no start data.
    next.start.Rings = zorp::ClampRings(stage.trailer.rings);
    return next;
}

std::optional<zorp::S3StageState> S3SpecialStage::stateFromCompilation(const zorp::Bytes& file)
{
    zorp::S3SCIndex index;
    std::string error;
    if (!zorp::ReadS3SCIndex(file, index, error)) {
        ask({"Invalid S3S File", FromBytes(error), Icon::Critical, Buttons::Ok});
        return std::nullopt;
    }
    const int chosen = chooseStage_(this, index);
    if (chosen < 0 || chosen >= static_cast<int>(index.entries.size()))
        return std::nullopt;
    zorp::S3SStage stage;
    if (!zorp::LoadS3SCStage(file, index, chosen, stage, error)) {
        ask({"Invalid S3S File", FromBytes(error), Icon::Critical, Buttons::Ok});
        return std::nullopt;
    }
    zorp::S3StageState next = doc_.State();
    next.cells = stage.cells;
    if (showArrows_) {
        zorp::ApplyCompilationTrailer(stage.trailer, next.start);
        next.ringsShown = true;
    } else {
        next.ringsShown = false;
    }
    return next;
}

void S3SpecialStage::showComment(const std::optional<std::string>& comment, const QString& fileName)
{
    if (!comment || comment->empty())
        return;
    QString text = FromBytes(comment->substr(0, kMaxCommentShown));
    if (comment->size() > kMaxCommentShown)
        text += QString("\n[... %1 more bytes not shown]").arg(comment->size() - kMaxCommentShown);
    ask({"S3S Comments - " + fileName, text, Icon::Information, Buttons::Ok});
}

// ---- Tool bar commands ----------------------------------------------------------

void S3SpecialStage::clearStage()
{
    if (ask({"Clear Special Stage", kClearQuestion, Icon::Question, Buttons::YesNo}) != Answer::Yes)
        return;
    zorp::S3StageState after = doc_.State();
    after.cells.fill(zorp::Empty);
    after.ringsShown = false; // as after PutStage: the ring box waits for start data
    PushEdit(undo_, std::make_unique<zorp::ReplaceS3StageEdit>(doc_, doc_.State(), after, "Clear Special Stage"));
}

void S3SpecialStage::exportStage()
{
    if (!platform_.files)
        return;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = "Export Special Stage";
    request.filter = kExportFilter;
    request.filterIndex = 1;
    request.confirmOverwrite = true;
    const FileDialogResult result = platform_.files->run(this, request);
    if (!result.accepted || result.path.isEmpty())
        return;
    // Filter 1 is version 2.00, filter 2 version 1.00.
    const zorp::Bytes bytes = result.filterIndex == 2 ? SaveV1SS() : SaveV2SS();
    const std::string error = zorp::WriteFileBytes(ToBytes(result.path), bytes);
    if (!error.empty()) {
        ask({"Export Special Stage",
             "The special stage could not be written to\n" + result.path + "\n(" + FromBytes(error) + ")",
             Icon::Critical, Buttons::Ok});
    }
}

void S3SpecialStage::importStage()
{
    if (!platform_.files)
        return;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = "Import Special Stage";
    request.filter = kImportFilter;
    request.mustExist = true;
    const FileDialogResult result = platform_.files->run(this, request);
    if (!result.accepted || result.path.isEmpty())
        return;
    lastDialogFileName_ = QFileInfo(result.path).fileName();

    const std::optional<zorp::Bytes> file = zorp::ReadFileBytes(ToBytes(result.path), kMaxS3SFileBytes);
    if (!file) {
        ask({"Import Special Stage",
             "The file could not be read:\n" + result.path +
                 "\n(It is missing, unreadable or larger than 64 MiB.)",
             Icon::Critical, Buttons::Ok});
        markModified();
        return;
    }

    const zorp::S3StageState before = doc_.State();
    std::optional<zorp::S3StageState> after;
    std::optional<std::string> comment;
    switch (zorp::S3SFileKind(*file)) {
    case zorp::kS3SKindV1:
        after = stateFromFile(zorp::LoadV1SS(*file));
        break;
    case zorp::kS3SKindV2: {
        const zorp::S3SStage stage = zorp::LoadV2SS(*file);
        after = stateFromFile(stage);
        comment = stage.comment;
        break;
    }
    case zorp::kS3SKindCompilation:
        after = stateFromCompilation(*file);
        break;
    default:
        ask({"Invalid S3S File", "The selected S3S file is invalid.", Icon::Critical, Buttons::Ok});
        break;
    }
    if (after) {
        PushEdit(undo_, std::make_unique<zorp::ReplaceS3StageEdit>(doc_, before, *after, "Import Special Stage"));
        showComment(comment, lastDialogFileName_);
    } else {
        // Nothing loaded (invalid file, no stage chosen): Import still counts
        // as a change, as it always has.
        markModified();
    }
}

// ---- Mouse editing -----------------------------------------------------------

int S3SpecialStage::currentTool() const
{
    for (int i = 0; i < toolActions_.size(); ++i)
        if (toolActions_[i]->isChecked())
            return i;
    return -1;
}

void S3SpecialStage::onCanvasPressed(QPointF position, Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    ++stroke_; // everything painted until the release is one command
    actAt(position, false);
}

void S3SpecialStage::onCanvasMoved(QPointF position, Qt::MouseButtons buttons)
{
    if (!(buttons & Qt::LeftButton))
        return;
    const QPoint pixel = RoundedPixel(position);
    if (pixel == lastPosition_)
        return;
    lastPosition_ = pixel;
    // Dragging never opens the direction dialog.
    if (currentTool() == kArrowTool)
        return;
    actAt(position, true);
}

void S3SpecialStage::onCanvasReleased()
{
    lastPosition_ = QPoint(-1, -1);
    ++stroke_;
}

void S3SpecialStage::actAt(QPointF position, bool dragging)
{
    const QPoint pixel = RoundedPixel(position);
    const int column = CellOfPixel(pixel.x());
    const int row = CellOfPixel(pixel.y());
    if (!zorp::IsOnGrid(column, row))
        return;
    if (currentTool() != kArrowTool)
        lastPosition_ = pixel;
    actOnCell(column, row, dragging);
}

void S3SpecialStage::actOnCell(int column, int row, bool dragging)
{
    const int tool = currentTool();
    if (tool < 0 || !zorp::IsOnGrid(column, row))
        return;

    if (tool != kArrowTool) {
        const uint8_t code = static_cast<uint8_t>(kTools[tool].code);
        const int index = zorp::CellIndex(column, row);
        const std::vector<zorp::CellsEdit::Change> change{{index, doc_.Grid()[index], code}};
        if (!PushEdit(undo_, std::make_unique<zorp::CellsEdit>(doc_, 0, change, kTools[tool].undoText, stroke_)))
            DrawSphere(column, row, code); // nothing changes; the cell is drawn afresh
        return;
    }
    if (dragging)
        return;
    const int direction = askDirection_(this);
    if (direction < S3S_Up || direction > S3S_Right)
        return; // cancelled
    zorp::StartData after = doc_.Start();
    after.Direction = static_cast<int16_t>(direction);
    after.Column = column;
    after.Row = row;
    PushEdit(undo_, std::make_unique<zorp::SetStartEdit>(doc_, doc_.Start(), after));
}

void S3SpecialStage::chooseTool(int tool)
{
    if (tool >= 0 && tool < toolActions_.size() && toolActions_[tool]->isVisible())
        toolActions_[tool]->setChecked(true);
}

// ---- Stage combo and ring box ----------------------------------------------------

void S3SpecialStage::onStageComboChanged(int index)
{
    if (index == lastStageIndex_)
        return;
    const int old = lastStageIndex_;
    emit StageChanged(old, index);
    lastStageIndex_ = index;
}

void S3SpecialStage::onRingsEdited(int value)
{
    if (applying_)
        return;
    PushEdit(undo_, std::make_unique<zorp::SetRingsEdit>(doc_, doc_.Start().Rings, value));
}

// ---- State changes -------------------------------------------------------------

void S3SpecialStage::onDocumentChanged(const zorp::DocumentChange& change)
{
    using Kind = zorp::DocumentChange::Kind;
    switch (change.kind) {
    case Kind::Cells:
        for (int index : change.cells)
            DrawSphere(index % zorp::kStageSide, index / zorp::kStageSide, doc_.Grid()[index]);
        updateCounts();
        break;
    case Kind::Start:
        drawStartMarker();
        break;
    case Kind::Properties:
        showRings();
        break;
    case Kind::Stage:
    case Kind::Document:
        showRings();
        redrawAll();
        break;
    }
}

void S3SpecialStage::drawStartMarker()
{
    // Take the marker off the cell it is on, then draw it at the start.
    if (zorp::IsOnGrid(markerCell_.x(), markerCell_.y()))
        DrawSphere(markerCell_.x(), markerCell_.y(), doc_.Grid()[zorp::CellIndex(markerCell_.x(), markerCell_.y())],
                   true);
    const zorp::StartData& start = doc_.Start();
    markerCell_ = QPoint(start.Column, start.Row);
    if (zorp::IsOnGrid(start.Column, start.Row)) {
        QPainter painter(&canvas_->surface());
        DrawStartMarker(painter, start.Column, start.Row, start.Direction);
        painter.end();
        canvas_->update(QRect(start.Column * kCellPixels, start.Row * kCellPixels, kCellPixels, kCellPixels));
    }
}

void S3SpecialStage::showRings()
{
    applying_ = true;
    rings_->setValue(doc_.Start().Rings);
    applying_ = false;
    const bool shown = doc_.State().ringsShown;
    rings_->setVisible(shown);
    rings_->setEnabled(shown);
    ringsCaption_->setVisible(shown);
}

void S3SpecialStage::replaceFromHost(const zorp::S3StageState& next)
{
    // The history belongs to the stage that was on screen; its unsaved state
    // lives on in the flag.
    baseModified_ = StageModified();
    undo_->clear();
    // A ring count changed by the host counts as a change, as any change of
    // the ring box does; hosts that load a stage reset the flag afterwards.
    if (zorp::ClampRings(next.start.Rings) != doc_.Start().Rings)
        baseModified_ = true;
    doc_.Replace(next);
    notifyModified();
}

void S3SpecialStage::markModified()
{
    baseModified_ = true;
    notifyModified();
}

void S3SpecialStage::notifyModified()
{
    const bool modified = StageModified();
    if (modified == reportedModified_)
        return;
    reportedModified_ = modified;
    emit StageModifiedChanged(modified);
}

void S3SpecialStage::redrawAll()
{
    QPainter painter(&canvas_->surface());
    const zorp::StageGrid& cells = doc_.Grid();
    for (int row = 0; row < zorp::kStageSide; ++row)
        for (int column = 0; column < zorp::kStageSide; ++column)
            DrawCell(painter, column, row, cells[zorp::CellIndex(column, row)]);
    const zorp::StartData& start = doc_.Start();
    markerCell_ = QPoint(start.Column, start.Row);
    if (zorp::IsOnGrid(start.Column, start.Row))
        DrawStartMarker(painter, start.Column, start.Row, start.Direction);
    painter.end();
    canvas_->update();
    updateCounts();
}

Answer S3SpecialStage::ask(const MessageRequest& request)
{
    return Ask(platform_, this, request);
}

} // namespace zorp::ui

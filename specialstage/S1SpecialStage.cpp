#include "specialstage/S1SpecialStage.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include "platform/ActionAccess.h"
#include "specialstage/EditCommand.h"
#include "specialstage/GridKeyboard.h"
#include "specialstage/S1StageCanvas.h"
#include "specialstage/S1StagePictures.h"
#include "specialstage/StageImage.h"

namespace zorp::ui {

namespace {

// Key codes of the tools: block IDs are 0..255, the two other tools below.
constexpr int kSelectKey = -1;
constexpr int kStartKey = -2;
constexpr int kPaintKey = -3;
constexpr int kStageEmeraldKey = 0x100; // the emerald of the stage on show

struct BlockKey {
    int key;
    int code;
};
// 1..9, 0: the common blocks; letters: their initials.
constexpr BlockKey kBlockKeys[] = {
    {Qt::Key_1, zorp::kS1Empty},     {Qt::Key_2, zorp::kS1BlueWall}, {Qt::Key_3, zorp::kS1YellowWall},
    {Qt::Key_4, zorp::kS1PinkWall},  {Qt::Key_5, zorp::kS1GreenWall}, {Qt::Key_6, zorp::kS1Bumper},
    {Qt::Key_7, zorp::kS1Goal},      {Qt::Key_8, zorp::kS1Ring},     {Qt::Key_9, kStageEmeraldKey},
    {Qt::Key_0, zorp::kS1Reverse},   {Qt::Key_E, zorp::kS1Empty},    {Qt::Key_W, zorp::kS1BlueWall},
    {Qt::Key_B, zorp::kS1Bumper},    {Qt::Key_G, zorp::kS1Goal},     {Qt::Key_U, zorp::kS1Up},
    {Qt::Key_D, zorp::kS1Down},      {Qt::Key_R, zorp::kS1Reverse},  {Qt::Key_I, zorp::kS1Ring},
    {Qt::Key_M, kStageEmeraldKey},   {Qt::Key_P, kPaintKey}, {Qt::Key_S, kSelectKey},
    {Qt::Key_T, kStartKey},
};

// Every block the game knows: IDs 0x00..0x4E, and one of the invisible solid ones.
std::vector<uint8_t> ListedBlocks()
{
    std::vector<uint8_t> ids;
    for (int id = 0; id <= zorp::kS1LastDrawn; ++id)
        ids.push_back(static_cast<uint8_t>(id));
    ids.push_back(zorp::kS1InvisibleWall);
    return ids;
}

} // namespace

S1SpecialStage::S1SpecialStage(const Platform& platform, QWidget* parent) : QWidget(parent), platform_(platform)
{
    setObjectName("S1SpecialStage");
    setAccessibleName("S1SpecialStage");
    setAccessibleDescription("Sonic 1 special stage editor");

    undo_ = new QUndoStack(this);
    connect(undo_, &QUndoStack::cleanChanged, this, [this] {
        const bool modified = Modified();
        if (modified != reportedModified_) {
            reportedModified_ = modified;
            emit modifiedChanged(modified);
        }
    });

    buildToolBar();
    stageCombo_ = new QComboBox(this);
    stageCombo_->setObjectName("cboS1Stage");
    stageCombo_->setAccessibleName("Stage");
    stageCombo_->setToolTip("The stage shown (Page Up / Page Down on the grid).");
    connect(stageCombo_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            setCurrentStage(index);
    });

    canvas_ = new S1StageCanvas(doc_, this);
    keyboard_ = new GridKeyboard(canvas_, zorp::kS1Side, zorp::kS1Side);
    canvas_->setKeyboard(keyboard_);
    for (const BlockKey& k : kBlockKeys)
        keyboard_->setToolKey(k.key, k.code);
    connect(keyboard_, &GridKeyboard::toolChosen, this, &S1SpecialStage::chooseKey);
    connect(keyboard_, &GridKeyboard::placeRequested, this, [this](QPoint cell) {
        ++stroke_;
        useTool(cell, false);
        ++stroke_;
    });
    connect(keyboard_, &GridKeyboard::clearRequested, this, [this](QPoint) { clearAtCursor(); });
    connect(keyboard_, &GridKeyboard::stageStepRequested, this,
            [this](int step) { stageCombo_->setCurrentIndex(std::clamp(stage_ + step, 0, doc_.StageCount() - 1)); });
    connect(canvas_, &S1StageCanvas::pressed, this, &S1SpecialStage::onPressed);
    connect(canvas_, &S1StageCanvas::moved, this, &S1SpecialStage::onMoved);
    connect(canvas_, &S1StageCanvas::released, this, [this] {
        ++stroke_;
        dragFrom_ = QPoint(-1, -1);
    });

    buildBlockList();

    counts_ = new QLabel(this);
    counts_->setObjectName("lblS1Counts");
    counts_->setAccessibleName("Stage counts");
    warning_ = new QLabel(this);
    warning_->setObjectName("lblS1Warning");
    warning_->setAccessibleName("Stage warning");
    warning_->setStyleSheet("color: #b00000;");
    warning_->setWordWrap(true);
    warning_->setMaximumWidth(kS1SurfacePixels);

    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(toolBar_);
    top->addWidget(stageCombo_);
    top->addStretch();
    auto* left = new QVBoxLayout;
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(canvas_);
    left->addWidget(counts_);
    left->addWidget(warning_);
    left->addStretch();
    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->addLayout(left);
    middle->addWidget(blocks_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addLayout(middle);

    doc_.Observe([this](const zorp::DocumentChange& change) { onDocumentChanged(change); });
    Disable("No special stages are loaded.");
}

S1SpecialStage::~S1SpecialStage()
{
    // The edits refer to the document; drop them while it is whole.
    undo_->clear();
}

void S1SpecialStage::buildToolBar()
{
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName("tlbS1Tools");
    toolBar_->setAccessibleName("Stage tools");
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    toolBar_->setMovable(false);
    toolBar_->setFloatable(false);

    auto add = [this](const QString& key, const QString& text, const QString& tip, const QKeySequence& shortcut) {
        QAction* action = toolBar_->addAction(text);
        action->setObjectName(key);
        action->setToolTip(shortcut.isEmpty() ? tip : tip + " (" + shortcut.toString(QKeySequence::NativeText) + ")");
        if (!shortcut.isEmpty()) {
            action->setShortcut(shortcut);
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            addAction(action); // the shortcut works wherever the focus is in the editor
        }
        if (QWidget* button = toolBar_->widgetForAction(action)) {
            button->setObjectName("tlbS1Tools_" + key);
            button->setAccessibleName(text);
            button->setAccessibleDescription(action->toolTip());
        }
        return action;
    };
    auto* tools = new QActionGroup(this);
    paintAction_ = add("Paint", "Paint", "Put the block chosen in the list (P; 1-9, 0 and initials choose blocks)", {});
    selectAction_ = add("Select", "Select", "Select a rectangle (S; Shift and the arrow keys)", {});
    startAction_ = add("Start", "Start", "Move Sonic's start position (T)", {});
    for (QAction* action : {paintAction_, selectAction_, startAction_}) {
        action->setCheckable(true);
        tools->addAction(action);
    }
    paintAction_->setChecked(true);
    connect(paintAction_, &QAction::triggered, this, [this] { setTool(Tool::Paint); });
    connect(selectAction_, &QAction::triggered, this, [this] { setTool(Tool::Select); });
    connect(startAction_, &QAction::triggered, this, [this] { setTool(Tool::Start); });
    toolBar_->addSeparator();
    connect(add("Copy", "Copy", "Copy the selection", QKeySequence::Copy), &QAction::triggered, this,
            &S1SpecialStage::copySelection);
    connect(add("Paste", "Paste", "Paste at the selection or the cursor", QKeySequence::Paste), &QAction::triggered,
            this, &S1SpecialStage::paste);
    connect(add("Fill", "Fill", "Fill the selection with the chosen block", QKeySequence(Qt::Key_F)),
            &QAction::triggered, this, &S1SpecialStage::fillSelection);
    connect(add("SelectAll", "All", "Select the whole stage", QKeySequence::SelectAll), &QAction::triggered, this,
            &S1SpecialStage::selectAll);
    toolBar_->addSeparator();
    connect(add("ExportImage", "Export Image...", "Save the stage as shown as a PNG picture", {}),
            &QAction::triggered, this, &S1SpecialStage::exportImage);
    MakeToolButtonsAccessible(toolBar_);
}

void S1SpecialStage::buildBlockList()
{
    blocks_ = new QListWidget(this);
    blocks_->setObjectName("lstS1Blocks");
    blocks_->setAccessibleName("Blocks");
    blocks_->setAccessibleDescription("The block the Paint tool puts");
    blocks_->setIconSize(QSize(20, 20));
    blocks_->setFixedWidth(250);
    blocks_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    blocks_->setTextElideMode(Qt::ElideRight);
    MakeItemsChoosable(blocks_);
    for (uint8_t id : ListedBlocks()) {
        auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(S1BlockIcon(id, 20))),
                                         QString("%1  %2")
                                             .arg(QString("%1").arg(id, 2, 16, QLatin1Char('0')).toUpper())
                                             .arg(QString::fromStdString(zorp::DescribeS1Block(id).name)),
                                         blocks_);
        item->setData(Qt::UserRole, id);
    }
    connect(blocks_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item)
            setBlock(static_cast<uint8_t>(item->data(Qt::UserRole).toInt()));
    });
}

// ---- Loading and state -----------------------------------------------------

void S1SpecialStage::Load(std::vector<zorp::S1StageData> stages, bool startsEditable)
{
    undo_->clear();
    startsEditable_ = startsEditable;
    disabled_ = stages.empty();
    {
        const QSignalBlocker block(stageCombo_);
        stageCombo_->clear();
        for (size_t k = 0; k < stages.size(); ++k)
            stageCombo_->addItem(QString("Stage %1%2").arg(k + 1).arg(stages[k].readable() ? "" : " (unreadable)"));
    }
    stage_ = 0;
    doc_.Load(std::move(stages));
    stageCombo_->setCurrentIndex(doc_.StageCount() > 0 ? 0 : -1);
    startAction_->setVisible(startsEditable_);
    if (!startsEditable_ && tool_ == Tool::Start)
        setTool(Tool::Paint);
    setModified(false);
    refreshStage();
}

void S1SpecialStage::Disable(const QString& reason)
{
    undo_->clear();
    disabled_ = true;
    {
        const QSignalBlocker block(stageCombo_);
        stageCombo_->clear();
    }
    doc_.Load({});
    setModified(false);
    refreshStage();
    warning_->setText(reason);
}

bool S1SpecialStage::Modified() const { return !undo_->isClean(); }

void S1SpecialStage::setModified(bool modified)
{
    if (!modified)
        undo_->setClean();
    else if (undo_->isClean())
        undo_->resetClean(); // no state of the history is the saved one
}

void S1SpecialStage::setCurrentStage(int stage)
{
    if (!doc_.Contains(stage))
        return;
    if (stage != stage_) {
        stage_ = stage;
        keyboard_->setSelection(QRect());
    }
    if (stageCombo_->currentIndex() != stage) {
        const QSignalBlocker block(stageCombo_);
        stageCombo_->setCurrentIndex(stage);
    }
    refreshStage();
}

void S1SpecialStage::refreshStage()
{
    const bool editable = !disabled_ && doc_.Editable(stage_);
    canvas_->setStage(stage_);
    canvas_->setShowStart(startsEditable_);
    canvas_->setEnabled(editable);
    blocks_->setEnabled(editable);
    for (QAction* action : toolBar_->actions())
        if (action->objectName() != "ExportImage")
            action->setEnabled(editable);
    toolBar_->findChild<QAction*>("ExportImage")->setEnabled(!disabled_ && doc_.Editable(stage_));
    stageCombo_->setEnabled(!disabled_);
    updateCounts();
}

void S1SpecialStage::updateCounts()
{
    if (disabled_ || !doc_.Contains(stage_)) {
        counts_->clear();
        return;
    }
    const zorp::S1StageData& stage = doc_.Stage(stage_);
    if (!stage.readable()) {
        counts_->clear();
        warning_->setText(QString::fromStdString(stage.error));
        return;
    }
    counts_->setText(QString::fromStdString(zorp::DescribeS1Counts(zorp::CountS1Stage(stage.cells))));
    const auto warnings =
        zorp::S1StageWarnings(stage.cells, startsEditable_ ? std::optional(stage.start) : std::nullopt, stage_);
    QStringList lines;
    for (const std::string& w : warnings)
        lines << QString::fromStdString(w);
    warning_->setText(lines.join('\n'));
}

void S1SpecialStage::onDocumentChanged(const zorp::DocumentChange& change)
{
    using Kind = zorp::DocumentChange::Kind;
    // Undo may act on a stage not on show: show it, so the change is seen.
    if ((change.kind == Kind::Cells || change.kind == Kind::Start) && change.stage != stage_) {
        setCurrentStage(change.stage);
        return;
    }
    if (change.kind == Kind::Cells)
        canvas_->updateCells(change.cells);
    else
        canvas_->update();
    updateCounts();
}

// ---- Tools -----------------------------------------------------------------

void S1SpecialStage::setTool(Tool tool)
{
    if (tool == Tool::Start && !startsEditable_)
        return;
    tool_ = tool;
    QAction* action = tool == Tool::Paint ? paintAction_ : tool == Tool::Select ? selectAction_ : startAction_;
    action->setChecked(true);
}

void S1SpecialStage::setBlock(uint8_t id)
{
    block_ = id;
    setTool(Tool::Paint);
    for (int row = 0; row < blocks_->count(); ++row)
        if (blocks_->item(row)->data(Qt::UserRole).toInt() == id && blocks_->currentRow() != row) {
            const QSignalBlocker block(blocks_);
            blocks_->setCurrentRow(row);
        }
}

void S1SpecialStage::chooseKey(int code)
{
    if (code == kSelectKey)
        setTool(Tool::Select);
    else if (code == kStartKey)
        setTool(Tool::Start);
    else if (code == kPaintKey)
        setTool(Tool::Paint);
    else if (code == kStageEmeraldKey)
        setBlock(zorp::S1EmeraldOfStage(std::clamp(stage_, 0, 5)));
    else
        setBlock(static_cast<uint8_t>(code));
}

void S1SpecialStage::pushCells(std::vector<zorp::CellsEdit::Change> changes, const QString& text, int stroke)
{
    PushEdit(undo_, std::make_unique<zorp::CellsEdit>(doc_, stage_, std::move(changes), text.toStdString(), stroke));
}

void S1SpecialStage::useTool(QPoint cell, bool dragging)
{
    if (disabled_ || !doc_.Editable(stage_) || !zorp::IsS1Cell(cell.x(), cell.y()))
        return;
    switch (tool_) {
    case Tool::Paint: {
        const int index = zorp::S1CellIndex(cell.x(), cell.y());
        pushCells({{index, doc_.Cell(stage_, index), block_}},
                  QString("Place %1").arg(QString::fromStdString(zorp::DescribeS1Block(block_).name)), stroke_);
        break;
    }
    case Tool::Start: {
        if (dragging)
            break;
        const zorp::S1Start before = doc_.Stage(stage_).start;
        PushEdit(undo_, std::make_unique<zorp::SetS1StartEdit>(
                            doc_, stage_, before, zorp::S1StartAtCell(before, {cell.x(), cell.y()})));
        break;
    }
    case Tool::Select:
        break;
    }
}

void S1SpecialStage::onPressed(QPoint cell, Qt::MouseButton button)
{
    if (!zorp::IsS1Cell(cell.x(), cell.y()) || disabled_ || !doc_.Editable(stage_))
        return;
    keyboard_->setCursor(cell);
    if (button == Qt::RightButton) {
        setBlock(doc_.Cell(stage_, zorp::S1CellIndex(cell.x(), cell.y())));
        return;
    }
    if (button != Qt::LeftButton)
        return;
    ++stroke_;
    if (tool_ == Tool::Select) {
        dragFrom_ = cell;
        keyboard_->setSelection(QRect(cell, cell));
        return;
    }
    useTool(cell, false);
}

void S1SpecialStage::onMoved(QPoint cell, Qt::MouseButtons buttons)
{
    if (!(buttons & Qt::LeftButton) || !zorp::IsS1Cell(cell.x(), cell.y()))
        return;
    if (tool_ == Tool::Select) {
        if (dragFrom_.x() >= 0)
            keyboard_->setSelection(QRect(dragFrom_, cell).normalized());
        return;
    }
    useTool(cell, true);
}

// ---- Selection commands ----------------------------------------------------

namespace {
zorp::GridRect RectOf(const QRect& cells) { return {cells.x(), cells.y(), cells.width(), cells.height()}; }
} // namespace

void S1SpecialStage::copySelection()
{
    const QRect selection = keyboard_->selection();
    if (!selection.isEmpty() && doc_.Editable(stage_))
        clip_ = zorp::CopyCells(doc_, stage_, RectOf(selection));
}

void S1SpecialStage::paste()
{
    if (clip_.empty() || !doc_.Editable(stage_))
        return;
    const QRect selection = keyboard_->selection();
    const QPoint at = selection.isEmpty() ? keyboard_->cursor() : selection.topLeft();
    pushCells(zorp::PasteChanges(doc_, stage_, at.x(), at.y(), clip_), "Paste");
}

void S1SpecialStage::fillSelection()
{
    const QRect selection = keyboard_->selection();
    if (selection.isEmpty() || !doc_.Editable(stage_))
        return;
    pushCells(zorp::FillChanges(doc_, stage_, RectOf(selection), block_),
              QString("Fill with %1").arg(QString::fromStdString(zorp::DescribeS1Block(block_).name)));
}

void S1SpecialStage::selectAll() { keyboard_->setSelection(QRect(0, 0, zorp::kS1Side, zorp::kS1Side)); }

void S1SpecialStage::clearAtCursor()
{
    if (!doc_.Editable(stage_))
        return;
    const QRect selection = keyboard_->selection();
    const QRect area = selection.isEmpty() ? QRect(keyboard_->cursor(), QSize(1, 1)) : selection;
    pushCells(zorp::FillChanges(doc_, stage_, RectOf(area), zorp::kS1Empty), "Clear");
}

void S1SpecialStage::exportImage()
{
    if (!platform_.files || !doc_.Editable(stage_))
        return;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = "Export Image";
    request.filter = "PNG Images (*.png)|*.png";
    request.confirmOverwrite = true;
    const FileDialogResult result = platform_.files->run(this, request);
    if (!result.accepted || result.path.isEmpty())
        return;
    const zorp::S1StageData& stage = doc_.Stage(stage_);
    const zorp::Bytes png =
        EncodePng(RenderS1StageImage(stage.cells, startsEditable_ ? std::optional(stage.start) : std::nullopt));
    const std::string error = png.empty() ? std::string("the picture could not be encoded")
                                          : zorp::WriteFileBytes(ToBytes(result.path), png);
    if (!error.empty())
        Ask(platform_, this,
            {"Export Image", "The picture could not be written to\n" + result.path + "\n(" + FromBytes(error) + ")",
             Icon::Critical, Buttons::Ok});
}

} // namespace zorp::ui

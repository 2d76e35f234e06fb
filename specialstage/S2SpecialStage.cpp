#include "specialstage/S2SpecialStage.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QToolBar>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVBoxLayout>

#include "platform/ActionAccess.h"
#include "specialstage/EditCommand.h"
#include "specialstage/GridKeyboard.h"
#include "specialstage/StageImage.h"

namespace zorp::ui {

namespace {

constexpr int kAngleStep = 4;     // arrow keys move the cursor this far around the pipe
constexpr int kNearAngle = 4;     // an object this close to the cursor is "under" it
constexpr int kNearDistance = 2;

const char* const kPartNames[3] = {"Checkpoint 1", "Checkpoint 2", "Emerald"};

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

int AngleDifference(int a, int b)
{
    int d = (a - b) & 0xFF;
    return std::min(d, 256 - d);
}

} // namespace

S2SpecialStage::S2SpecialStage(const Platform& platform, QWidget* parent)
    : QWidget(parent), platform_(platform), undo_(new QUndoStack(this))
{
    setObjectName(QStringLiteral("S2SpecialStage"));
    setAccessibleName(QStringLiteral("Sonic 2 special stage editor"));

    stageCombo_ = new QComboBox(this);
    stageCombo_->setObjectName(QStringLiteral("cboS2Stage"));
    stageCombo_->setAccessibleName(QStringLiteral("Stage"));
    stageCombo_->setToolTip(QStringLiteral("Stage (Page Up / Page Down)"));
    for (int s = 0; s < zorp::kS2Stages; ++s)
        stageCombo_->addItem(QStringLiteral("Stage %1").arg(s + 1));
    ram_ = new QLabel(this);
    ram_->setObjectName(QStringLiteral("lblS2Ram"));
    ram_->setAccessibleName(QStringLiteral("Room in the game's memory"));

    segments_ = new QListWidget(this);
    segments_->setObjectName(QStringLiteral("lstS2Segments"));
    segments_->setAccessibleName(QStringLiteral("Segments"));
    segments_->setMinimumWidth(250);
    MakeItemsChoosable(segments_);
    insert_ = new QPushButton(QStringLiteral("Insert"), this);
    insert_->setObjectName(QStringLiteral("cmdS2InsertSegment"));
    insert_->setAccessibleName(QStringLiteral("Insert segment"));
    insert_->setToolTip(QStringLiteral("Inserts an empty straight segment before the chosen one (Insert)"));
    delete_ = new QPushButton(QStringLiteral("Delete"), this);
    delete_->setObjectName(QStringLiteral("cmdS2DeleteSegment"));
    delete_->setAccessibleName(QStringLiteral("Delete segment"));
    delete_->setToolTip(QStringLiteral("Deletes the chosen segment and its objects (Shift+Delete)"));

    tools_ = new QToolBar(this);
    tools_->setObjectName(QStringLiteral("tlbS2Tools"));
    tools_->setAccessibleName(QStringLiteral("Tools"));
    toolGroup_ = new QActionGroup(this);
    const struct {
        const char* key;
        const char* text;
        const char* tip;
    } kTools[3] = {{"optS2Select", "Select", "Select and drag objects (S or 1)"},
                   {"optS2Ring", "Ring", "Places rings (R or 2)"},
                   {"optS2Bomb", "Bomb", "Places bombs (B or 3)"}};
    for (int i = 0; i < 3; ++i) {
        QAction* action = tools_->addAction(QLatin1String(kTools[i].text));
        action->setObjectName(QLatin1String(kTools[i].key));
        action->setToolTip(QLatin1String(kTools[i].tip));
        action->setCheckable(true);
        toolGroup_->addAction(action);
        if (QWidget* button = tools_->widgetForAction(action)) {
            button->setObjectName(QLatin1String(kTools[i].key) + QStringLiteral("_Button"));
            button->setAccessibleName(QLatin1String(kTools[i].text));
        }
        connect(action, &QAction::toggled, this, [this, i](bool on) {
            if (on)
                tool_ = static_cast<Tool>(i);
        });
        toolActions_[i] = action;
    }
    toolActions_[static_cast<int>(tool_)]->setChecked(true);
    MakeToolButtonsAccessible(tools_);

    canvas_ = new S2CrossSectionView(this);
    // The keyboard cursor of every stage editor: here its columns are steps
    // of 4 around the pipe and its rows the distances, deepest at the top.
    keyboard_ = new GridKeyboard(canvas_, 256 / kAngleStep, zorp::kS2MaxDistance + 1);
    for (const auto& [key, tool] : {std::pair{Qt::Key_S, Tool::Select}, std::pair{Qt::Key_1, Tool::Select},
                                    std::pair{Qt::Key_R, Tool::Ring}, std::pair{Qt::Key_2, Tool::Ring},
                                    std::pair{Qt::Key_B, Tool::Bomb}, std::pair{Qt::Key_3, Tool::Bomb}})
        keyboard_->setToolKey(key, static_cast<int>(tool));
    connect(keyboard_, &GridKeyboard::cursorMoved, this, [this](QPoint cell) {
        if (!syncing_)
            setCursor({static_cast<uint8_t>(cell.x() * kAngleStep), zorp::kS2MaxDistance - cell.y()});
    });
    connect(keyboard_, &GridKeyboard::toolChosen, this, [this](int tool) { setTool(static_cast<Tool>(tool)); });
    connect(keyboard_, &GridKeyboard::placeRequested, this, [this] { PlaceAtCursor(); });
    connect(keyboard_, &GridKeyboard::clearRequested, this,
            [this] { DeleteObjectAt(cursor_.angle, cursor_.distance); });
    connect(keyboard_, &GridKeyboard::stageStepRequested, this, [this](int step) {
        setCurrentStage(std::clamp(stage_ + step, 0, zorp::kS2Stages - 1));
    });
    where_ = new QLabel(this);
    where_->setObjectName(QStringLiteral("lblS2Cursor"));
    where_->setAccessibleName(QStringLiteral("Cursor"));
    where_->setWordWrap(true);
    where_->setMaximumWidth(360);

    type_ = new QComboBox(this);
    type_->setObjectName(QStringLiteral("cboS2SegmentType"));
    type_->setAccessibleName(QStringLiteral("Segment type"));
    for (uint8_t t = 0; t < zorp::kS2SegmentTypes; ++t)
        type_->addItem(Text(zorp::S2SegmentTypeName(t)));
    mirrored_ = new QCheckBox(QStringLiteral("Mirrored"), this);
    mirrored_->setObjectName(QStringLiteral("chkS2Mirrored"));
    mirrored_->setAccessibleName(QStringLiteral("Mirrored"));
    marker_ = new QComboBox(this);
    marker_->setObjectName(QStringLiteral("cboS2Marker"));
    marker_->setAccessibleName(QStringLiteral("End marker"));
    for (zorp::S2Marker m : {zorp::S2Marker::Plain, zorp::S2Marker::Checkpoint, zorp::S2Marker::Emerald,
                             zorp::S2Marker::RingsToGo})
        marker_->addItem(Text(zorp::S2MarkerName(m)), static_cast<int>(m));

    auto* segmentBox = new QGroupBox(QStringLiteral("Segment"), this);
    segmentBox->setObjectName(QStringLiteral("fraS2Segment"));
    segmentBox->setAccessibleName(QStringLiteral("Segment"));
    auto* segmentForm = new QFormLayout(segmentBox);
    segmentForm->addRow(QStringLiteral("Type"), type_);
    segmentForm->addRow(QString(), mirrored_);
    segmentForm->addRow(QStringLiteral("Ends with"), marker_);

    auto* ringBox = new QGroupBox(QStringLiteral("Rings needed"), this);
    ringBox->setObjectName(QStringLiteral("fraS2Rings"));
    ringBox->setAccessibleName(QStringLiteral("Rings needed"));
    auto* ringGrid = new QGridLayout(ringBox);
    ringGrid->addWidget(new QLabel(QStringLiteral("Team"), ringBox), 0, 1);
    ringGrid->addWidget(new QLabel(QStringLiteral("Alone"), ringBox), 0, 2);
    for (int part = 0; part < 3; ++part) {
        ringGrid->addWidget(new QLabel(QLatin1String(kPartNames[part]), ringBox), part + 1, 0);
        for (int who = 0; who < 2; ++who) {
            auto* box = new QSpinBox(ringBox);
            box->setRange(0, 255);
            box->setObjectName(QStringLiteral("ud%1%2").arg(who == 0 ? QStringLiteral("Team") : QStringLiteral("Alone")).arg(part + 1));
            box->setAccessibleName(QStringLiteral("%1, %2").arg(QLatin1String(kPartNames[part]),
                                                                 who == 0 ? QStringLiteral("Sonic and Tails")
                                                                          : QStringLiteral("Sonic or Tails alone")));
            ringGrid->addWidget(box, part + 1, who + 1);
            requirements_[who][part] = box;
            connect(box, &QSpinBox::valueChanged, this, [this, who, part](int value) {
                if (!showing_)
                    SetRequirement(who == 0, part, value);
            });
        }
    }
    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("lblS2CheckCounts"));
    counts_->setAccessibleName(QStringLiteral("Rings per check"));
    counts_->setWordWrap(true);
    warning_ = new QLabel(this);
    warning_->setObjectName(QStringLiteral("lblS2StageWarning"));
    warning_->setAccessibleName(QStringLiteral("Stage warning"));
    warning_->setWordWrap(true);
    warning_->setStyleSheet(QStringLiteral("color: #b00000;"));
    exportImage_ = new QPushButton(QStringLiteral("Export Image..."), this);
    exportImage_->setObjectName(QStringLiteral("cmdS2ExportImage"));
    exportImage_->setAccessibleName(QStringLiteral("Export image"));

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Stage"), this));
    top->addWidget(stageCombo_);
    top->addWidget(tools_);
    top->addStretch(1);
    top->addWidget(ram_);
    auto* left = new QVBoxLayout;
    left->addWidget(segments_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(insert_);
    buttons->addWidget(delete_);
    left->addLayout(buttons);
    auto* right = new QVBoxLayout;
    right->addWidget(segmentBox);
    right->addWidget(ringBox);
    right->addWidget(counts_);
    right->addWidget(warning_, 1);
    right->addWidget(exportImage_);
    auto* middle = new QHBoxLayout;
    middle->addLayout(left);
    auto* centre = new QVBoxLayout;
    centre->addWidget(canvas_);
    centre->addWidget(where_);
    centre->addStretch(1);
    middle->addLayout(centre);
    middle->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addLayout(middle, 1);

    connect(stageCombo_, &QComboBox::currentIndexChanged, this, [this](int stage) {
        if (!showing_)
            setCurrentStage(stage);
    });
    connect(segments_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!showing_ && row >= 0)
            setCurrentSegment(row);
    });
    connect(insert_, &QPushButton::clicked, this, &S2SpecialStage::InsertSegment);
    connect(delete_, &QPushButton::clicked, this, &S2SpecialStage::DeleteSegment);
    connect(type_, &QComboBox::activated, this, [this](int type) { SetSegmentType(type); });
    connect(mirrored_, &QCheckBox::toggled, this, [this](bool on) {
        if (!showing_)
            SetMirrored(on);
    });
    connect(marker_, &QComboBox::activated, this,
            [this](int index) { SetMarker(static_cast<zorp::S2Marker>(marker_->itemData(index).toInt())); });
    connect(exportImage_, &QPushButton::clicked, this, &S2SpecialStage::ExportImage);
    connect(undo_, &QUndoStack::cleanChanged, this, [this] {
        const bool now = StageModified();
        if (now != reportedModified_) {
            reportedModified_ = now;
            emit StageModifiedChanged(now);
        }
    });

    // Keys that work wherever the focus is inside the editor.
    auto shortcut = [this](QKeySequence keys, auto slot) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WidgetWithChildrenShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::Key_PageUp), [this] { setCurrentStage(std::max(0, stage_ - 1)); });
    shortcut(QKeySequence(Qt::Key_PageDown), [this] { setCurrentStage(std::min(zorp::kS2Stages - 1, stage_ + 1)); });
    shortcut(QKeySequence(Qt::Key_Insert), [this] { InsertSegment(); });
    shortcut(QKeySequence(Qt::SHIFT | Qt::Key_Delete), [this] { DeleteSegment(); });
    shortcut(QKeySequence(Qt::Key_BracketLeft), [this] { setCurrentSegment(segment_ - 1); });
    shortcut(QKeySequence(Qt::Key_BracketRight), [this] { setCurrentSegment(segment_ + 1); });

    // The widget shows what the document says: every change (an edit, its
    // undo, a new load) is redrawn from it.
    observer_ = document_.Observe([this](const zorp::DocumentChange& change) {
        if (applying_)
            return;
        if (change.kind == zorp::DocumentChange::Kind::Stage)
            StageStateChanged(change.stage);
        else
            ShowStage();
    });
    setEnabled(false);
}

S2SpecialStage::~S2SpecialStage() { document_.StopObserving(observer_); }

void S2SpecialStage::setDocument(const zorp::S2StageDocument& document)
{
    undo_->clear();
    document_ = document;
    undo_->setClean();
    stage_ = std::clamp(stage_, 0, zorp::kS2Stages - 1);
    segment_ = 0;
    selected_ = -1;
    setEnabled(true);
    ShowStage();
}

bool S2SpecialStage::StageModified() const { return !undo_->isClean(); }

void S2SpecialStage::setStageModified(bool modified)
{
    if (!modified)
        undo_->setClean();
    else if (undo_->isClean())
        undo_->resetClean(); // modified until the next save, whatever is undone
}

void S2SpecialStage::setCurrentStage(int stage)
{
    if (stage < 0 || stage >= zorp::kS2Stages)
        return;
    if (stage != stage_) {
        stage_ = stage;
        segment_ = 0;
        selected_ = -1;
    }
    ShowStage();
}

void S2SpecialStage::setCurrentSegment(int segment)
{
    if (segment < 0 || segment >= document_.SegmentCount(stage_))
        return;
    if (segment != segment_)
        selected_ = -1;
    segment_ = segment;
    showing_ = true;
    segments_->setCurrentRow(segment_);
    showing_ = false;
    ShowSegment();
}

void S2SpecialStage::setTool(Tool tool) { toolActions_[static_cast<int>(tool)]->setChecked(true); }

void S2SpecialStage::setCursor(S2Cursor cursor)
{
    cursor.distance = std::clamp(cursor.distance, 0, zorp::kS2MaxDistance);
    cursor_ = cursor;
    syncing_ = true;
    keyboard_->setCursor(QPoint((cursor.angle + kAngleStep / 2) / kAngleStep % (256 / kAngleStep),
                                zorp::kS2MaxDistance - cursor.distance));
    syncing_ = false;
    ShowWhere();
    canvas_->update();
}

void S2SpecialStage::ShowWhere()
{
    const zorp::S2ObjectList* list = document_.List(stage_, segment_);
    int rings = 0;
    int bombs = 0;
    if (list)
        for (const zorp::S2Object& object : list->objects)
            ++(object.bomb ? bombs : rings);
    const int under = ObjectAt(cursor_.angle, cursor_.distance);
    QString text = QStringLiteral("Segment %1: %2 rings, %3 bombs.\nCursor: angle %4, distance %5")
                       .arg(segment_ + 1)
                       .arg(rings)
                       .arg(bombs)
                       .arg(QStringLiteral("0x%1").arg(cursor_.angle, 2, 16, QLatin1Char('0')).toUpper().replace(QStringLiteral("0X"), QStringLiteral("0x")))
                       .arg(cursor_.distance);
    if (under >= 0)
        text += list->objects[static_cast<size_t>(under)].bomb ? QStringLiteral(", on a bomb") : QStringLiteral(", on a ring");
    where_->setText(text);
}

int S2SpecialStage::ObjectAt(uint8_t angle, int distance) const
{
    const zorp::S2ObjectList* list = document_.List(stage_, segment_);
    if (!list)
        return -1;
    int best = -1;
    int bestScore = 1 << 30;
    for (size_t i = 0; i < list->objects.size(); ++i) {
        const zorp::S2Object& object = list->objects[i];
        const int da = AngleDifference(object.angle, angle);
        const int dd = std::abs(object.distance - distance);
        if (da > kNearAngle || dd > kNearDistance)
            continue;
        if (da + dd < bestScore) {
            bestScore = da + dd;
            best = static_cast<int>(i);
        }
    }
    return best;
}

void S2SpecialStage::Apply(const QString& text, const std::function<std::string(zorp::S2StageDocument&)>& edit,
                           int mergeKey)
{
    zorp::S2StageState before = document_.State(stage_);
    const std::string error = edit(document_);
    if (!error.empty()) {
        Refuse(error);
        return;
    }
    zorp::S2StageState after = document_.State(stage_);
    if (after == before)
        return;
    applying_ = true; // the edit's first Redo sets it again
    document_.SetState(stage_, before);
    applying_ = false;
    PushEdit(undo_, std::make_unique<zorp::S2StageEdit>(document_, stage_, std::move(before), std::move(after),
                                                        text.toStdString(), mergeKey));
}

void S2SpecialStage::Refuse(const std::string& reason)
{
    Ask(platform_, this, {QStringLiteral("Special Stage"), Text(reason), Icon::Exclamation, Buttons::Ok});
}

void S2SpecialStage::UseToolAt(uint8_t angle, int distance)
{
    setCursor({angle, distance});
    if (tool_ == Tool::Select) {
        selected_ = ObjectAt(angle, distance);
        ShowSegment();
        return;
    }
    const bool bomb = tool_ == Tool::Bomb;
    const int segment = segment_;
    Apply(bomb ? QStringLiteral("Place Bomb") : QStringLiteral("Place Ring"), [&](zorp::S2StageDocument& doc) {
        return doc.AddObject(stage_, segment, {bomb, static_cast<uint8_t>(distance), angle});
    });
}

void S2SpecialStage::DeleteObjectAt(uint8_t angle, int distance)
{
    const int index = ObjectAt(angle, distance);
    if (index < 0)
        return;
    const int segment = segment_;
    selected_ = -1;
    Apply(QStringLiteral("Delete Object"),
          [&](zorp::S2StageDocument& doc) { return doc.RemoveObject(stage_, segment, index); });
}

void S2SpecialStage::MoveSelectedObject(uint8_t angle, int distance, int mergeKey)
{
    const zorp::S2ObjectList* list = document_.List(stage_, segment_);
    if (!list || selected_ < 0 || static_cast<size_t>(selected_) >= list->objects.size())
        return;
    zorp::S2Object object = list->objects[static_cast<size_t>(selected_)];
    object.angle = angle;
    object.distance = static_cast<uint8_t>(std::clamp(distance, 0, zorp::kS2MaxDistance));
    const int segment = segment_;
    const int index = selected_;
    Apply(QStringLiteral("Move Object"),
          [&](zorp::S2StageDocument& doc) { return doc.MoveObject(stage_, segment, index, object); }, mergeKey);
}

void S2SpecialStage::InsertSegment()
{
    const int segment = segment_;
    Apply(QStringLiteral("Insert Segment"), [&](zorp::S2StageDocument& doc) { return doc.InsertSegment(stage_, segment); });
}

void S2SpecialStage::DeleteSegment()
{
    const int segment = segment_;
    Apply(QStringLiteral("Delete Segment"), [&](zorp::S2StageDocument& doc) { return doc.DeleteSegment(stage_, segment); });
}

void S2SpecialStage::SetSegmentType(int type)
{
    const int segment = segment_;
    const bool mirrored = zorp::S2SegmentMirrored(document_.SegmentByte(stage_, segment));
    Apply(QStringLiteral("Change Segment Type"), [&](zorp::S2StageDocument& doc) {
        return doc.SetSegment(stage_, segment, static_cast<uint8_t>(type), mirrored);
    });
}

void S2SpecialStage::SetMirrored(bool mirrored)
{
    const int segment = segment_;
    const uint8_t type = zorp::S2SegmentType(document_.SegmentByte(stage_, segment));
    Apply(mirrored ? QStringLiteral("Mirror Segment") : QStringLiteral("Unmirror Segment"),
          [&](zorp::S2StageDocument& doc) { return doc.SetSegment(stage_, segment, type, mirrored); });
}

void S2SpecialStage::SetMarker(zorp::S2Marker marker)
{
    const int segment = segment_;
    Apply(QStringLiteral("Change End Marker"),
          [&](zorp::S2StageDocument& doc) { return doc.SetMarker(stage_, segment, marker); });
}

void S2SpecialStage::SetRequirement(bool team, int part, int rings)
{
    Apply(QStringLiteral("Change Rings Needed"), [&](zorp::S2StageDocument& doc) {
        doc.SetRequirement(team, stage_, part, static_cast<uint8_t>(std::clamp(rings, 0, 255)));
        return std::string();
    });
}

void S2SpecialStage::StageStateChanged(int stage)
{
    if (stage != stage_) {
        stage_ = stage; // undo shows the stage it changes
        selected_ = -1;
    }
    ShowStage();
}

void S2SpecialStage::ShowStage()
{
    showing_ = true;
    stageCombo_->setCurrentIndex(stage_);
    const int count = document_.SegmentCount(stage_);
    segment_ = std::clamp(segment_, 0, std::max(0, count - 1));
    segments_->clear();
    for (int i = 0; i < count; ++i) {
        QString text = QString::number(i + 1) + QStringLiteral(": ");
        if (document_.HasLayout(stage_, i)) {
            const uint8_t byte = document_.SegmentByte(stage_, i);
            text += Text(zorp::S2SegmentTypeName(zorp::S2SegmentType(byte)));
            if (zorp::S2SegmentMirrored(byte))
                text += QStringLiteral(" (mirrored)");
        } else {
            text += QStringLiteral("(no segment)");
        }
        if (const zorp::S2ObjectList* list = document_.List(stage_, i)) {
            if (list->marker() != zorp::S2Marker::Plain)
                text += QStringLiteral(" - ") + Text(zorp::S2MarkerName(list->marker()));
        } else {
            text += QStringLiteral(" - no objects");
        }
        segments_->addItem(text);
    }
    segments_->setCurrentRow(segment_);
    showing_ = false;
    ShowRequirements();
    ShowSegment();
}

void S2SpecialStage::ShowSegment()
{
    showing_ = true;
    const uint8_t byte = document_.SegmentByte(stage_, segment_);
    type_->setCurrentIndex(std::min<int>(zorp::S2SegmentType(byte), zorp::kS2SegmentTypes - 1));
    mirrored_->setChecked(zorp::S2SegmentMirrored(byte));
    const zorp::S2ObjectList* list = document_.List(stage_, segment_);
    marker_->setCurrentIndex(marker_->findData(static_cast<int>(list ? list->marker() : zorp::S2Marker::Plain)));
    delete_->setEnabled(document_.SegmentCount(stage_) > 1);
    showing_ = false;
    ShowCounts();
    ShowWhere();
    canvas_->update();
}

void S2SpecialStage::ShowRequirements()
{
    showing_ = true;
    for (int part = 0; part < 3; ++part) {
        requirements_[0][part]->setValue(document_.TeamRings()[static_cast<size_t>(stage_)][static_cast<size_t>(part)]);
        requirements_[1][part]->setValue(document_.AloneRings()[static_cast<size_t>(stage_)][static_cast<size_t>(part)]);
    }
    showing_ = false;
}

void S2SpecialStage::ShowCounts()
{
    if (document_.SegmentCount(stage_) == 0) { // nothing loaded
        counts_->clear();
        warning_->clear();
        ram_->clear();
        return;
    }
    const zorp::S2StageCheck check = document_.Check(stage_);
    QStringList lines;
    for (size_t i = 0; i < check.checks.size(); ++i) {
        const zorp::S2Check& c = check.checks[i];
        QString line = QStringLiteral("%1 (segment %2): %3 rings").arg(i < 3 ? QLatin1String(kPartNames[i]) : QStringLiteral("Extra check")).arg(c.segment + 1).arg(c.rings);
        if (c.requiredTeam >= 0)
            line += QStringLiteral(" / %1 team, %2 alone").arg(c.requiredTeam).arg(c.requiredAlone);
        lines << line;
    }
    lines << QStringLiteral("Stage: %1 rings, %2 bombs").arg(check.rings).arg(check.bombs);
    counts_->setText(lines.join(QLatin1Char('\n')));
    QStringList warnings;
    for (const std::string& w : check.warnings)
        warnings << Text(w);
    warning_->setText(warnings.join(QLatin1Char('\n')));
    ram_->setText(QStringLiteral("Layouts %1 of %2 bytes, object lists %3 of %4 bytes")
                      .arg(document_.LayoutSize())
                      .arg(zorp::kS2LayoutRamLimit)
                      .arg(document_.ObjectBytes())
                      .arg(zorp::kS2ObjectListRamLimit));
}

void S2SpecialStage::PlaceAtCursor()
{
    if (tool_ == Tool::Select && selected_ >= 0 && ObjectAt(cursor_.angle, cursor_.distance) != selected_)
        MoveSelectedObject(cursor_.angle, cursor_.distance); // a picked object goes where the cursor is
    else
        UseToolAt(cursor_.angle, cursor_.distance);
}

void S2SpecialStage::ExportImage()
{
    if (!platform_.files)
        return;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = QStringLiteral("Export Image");
    request.filter = QStringLiteral("PNG Images (*.png)|*.png");
    request.fileName = QStringLiteral("stage%1.png").arg(stage_ + 1, 2, 10, QLatin1Char('0'));
    request.confirmOverwrite = true;
    const FileDialogResult result = platform_.files->run(this, request);
    if (!result.accepted || result.path.isEmpty())
        return;
    const zorp::S2StageState state = document_.State(stage_);
    const zorp::Bytes png = EncodePng(RenderS2StageImage(state.segments, state.objects));
    const std::string error = png.empty() ? std::string("the picture could not be encoded")
                                          : zorp::WriteFileBytes(ToBytes(result.path), png);
    if (!error.empty())
        Ask(platform_, this,
            {QStringLiteral("Export Image"),
             QStringLiteral("The picture could not be written to\n") + result.path + QStringLiteral("\n(") +
                 FromBytes(error) + QStringLiteral(")"),
             Icon::Critical, Buttons::Ok});
}

S2CrossSectionView::S2CrossSectionView(S2SpecialStage* editor) : QWidget(editor), editor_(editor)
{
    setObjectName(QStringLiteral("picS2CrossSection"));
    setAccessibleName(QStringLiteral("Cross-section of the segment"));
    setAccessibleDescription(QStringLiteral(
        "Arrow keys move the cursor, S R B pick a tool, Space places, Delete removes the object under the cursor."));
    setFocusPolicy(Qt::StrongFocus);
    setFixedSize(sizeHint());
}

S2CrossSection S2CrossSectionView::section() const
{
    return {QRectF(rect()), zorp::S2SegmentMirrored(editor_->document().SegmentByte(editor_->CurrentStage(),
                                                                                   editor_->CurrentSegment()))};
}

void S2CrossSectionView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const zorp::S2StageDocument& doc = editor_->document();
    const zorp::S2ObjectList* list = doc.SegmentCount(editor_->CurrentStage()) > 0
                                         ? doc.List(editor_->CurrentStage(), editor_->CurrentSegment())
                                         : nullptr;
    DrawS2CrossSection(painter, section(), list, editor_->selectedObject());
    const QPointF at = section().Position(editor_->cursor().angle, editor_->cursor().distance);
    GridKeyboard::PaintCursor(painter, QRect(QPoint(int(at.x()) - 8, int(at.y()) - 8), QSize(16, 16)), hasFocus());
    if (hasFocus()) {
        painter.setPen(QPen(palette().highlight().color(), 2));
        painter.drawRect(rect().adjusted(1, 1, -1, -1));
    }
}

void S2CrossSectionView::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    auto at = section().At(event->position());
    if (!at)
        return;
    if (event->button() == Qt::RightButton) {
        editor_->setCursor({at->first, at->second});
        editor_->DeleteObjectAt(at->first, at->second);
    } else if (event->button() == Qt::LeftButton) {
        editor_->StartDrag();
        editor_->UseToolAt(at->first, at->second);
    }
}

void S2CrossSectionView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || editor_->tool() != S2SpecialStage::Tool::Select ||
        editor_->selectedObject() < 0)
        return;
    if (auto at = section().At(event->position()))
        editor_->MoveSelectedObject(at->first, at->second, editor_->dragKey());
}

} // namespace zorp::ui

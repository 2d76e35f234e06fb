#pragma once
// S2SpecialStage: the Sonic 2 special stage editor. It views a
// S2StageDocument (core/stage) one stage and one segment at a time: the
// segments in a list (lstS2Segments) with Insert and Delete, the chosen
// segment's objects on a cross-section of the half-pipe (picS2CrossSection),
// its type, mirroring and end marker, the stage's ring requirements, and the
// rings counted up to each check against them. Every change is an
// S2StageEdit (core) that the undo history replays through the shared
// EditCommand; the widget observes the document and keeps no stage data of
// its own.
//
// Keyboard (the stage editors' GridKeyboard on the cross-section): the arrow
// keys move the cursor (Left/Right around the pipe, Up/Down deeper or
// nearer; with Ctrl in bigger steps), S, R, B (or 1, 2, 3) pick the tool
// Select, Ring, Bomb, Space or Enter uses it at the cursor, Delete removes
// the object under the cursor; anywhere in the editor [ and ] pick
// the previous or next segment, Insert adds a segment, Shift+Delete deletes
// it, Page Up and Page Down switch stages.
#include <QWidget>
#include <functional>
#include <optional>

#include "platform/Platform.h"
#include "specialstage/S2StagePictures.h"
#include "stage/S2StageDocument.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;
class QToolBar;
class QUndoStack;

namespace zorp::ui {

class GridKeyboard;
class S2CrossSectionView;

class S2SpecialStage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool StageModified READ StageModified WRITE setStageModified NOTIFY StageModifiedChanged)
    Q_PROPERTY(int CurrentStage READ CurrentStage)
    Q_PROPERTY(int CurrentSegment READ CurrentSegment)

public:
    enum class Tool { Select, Ring, Bomb };

    explicit S2SpecialStage(const Platform& platform, QWidget* parent = nullptr);
    ~S2SpecialStage() override;

    // A new document (a load): starts a new undo history, clears the flag.
    void setDocument(const zorp::S2StageDocument& document);
    const zorp::S2StageDocument& document() const { return document_; }

    QUndoStack* undoStack() const { return undo_; }
    bool StageModified() const;
    void setStageModified(bool modified);

    int CurrentStage() const { return stage_; }
    int CurrentSegment() const { return segment_; }
    void setCurrentStage(int stage);
    void setCurrentSegment(int segment);
    Tool tool() const { return tool_; }
    void setTool(Tool tool);
    S2Cursor cursor() const { return cursor_; }
    void setCursor(S2Cursor cursor);
    int selectedObject() const { return selected_; }

    // The edits, as the controls make them (tests drive them directly too).
    // Each shows a message and changes nothing when the document refuses it.
    void UseToolAt(uint8_t angle, int distance);
    void DeleteObjectAt(uint8_t angle, int distance);
    // Moves with the same non-zero merge key (one drag) are one undo step.
    void MoveSelectedObject(uint8_t angle, int distance, int mergeKey = 0);
    void InsertSegment();
    void DeleteSegment();
    void SetSegmentType(int type);
    void SetMirrored(bool mirrored);
    void SetMarker(zorp::S2Marker marker);
    void SetRequirement(bool team, int part, int rings);

    // The object nearest to a place (within a few steps), or -1.
    int ObjectAt(uint8_t angle, int distance) const;

    // A press of the mouse begins a drag: the moves until the next press
    // are one undo step.
    void StartDrag() { dragKey_ = ++dragCounter_; }
    int dragKey() const { return dragKey_; }

    // Exports the stage's picture through the file dialog.
    void ExportImage();

    // The document's stage `stage` was replaced (by an edit or its undo).
    void StageStateChanged(int stage);

signals:
    void StageModifiedChanged(bool modified);

private:
    // Runs an edit on the document and, when it changed the stage, pushes it
    // as a command (which applies it again).
    void Apply(const QString& text, const std::function<std::string(zorp::S2StageDocument&)>& edit,
               int mergeKey = 0);
    void Refuse(const std::string& reason);
    void ShowStage();
    void ShowSegment();
    void ShowCounts();
    void ShowWhere();
    void ShowRequirements();
    // Space / Enter: the tool at the cursor, or the selected object moved there.
    void PlaceAtCursor();

    Platform platform_;
    zorp::S2StageDocument document_;
    int stage_ = 0;
    int segment_ = 0;
    int selected_ = -1;
    Tool tool_ = Tool::Ring;
    S2Cursor cursor_;
    bool showing_ = false; // controls are being filled: their signals are no edits
    bool reportedModified_ = false;
    bool applying_ = false; // an edit is being made: its notices come with its Redo
    int observer_ = 0;
    int dragCounter_ = 0;
    int dragKey_ = 0;

    QUndoStack* undo_;
    QComboBox* stageCombo_;
    QLabel* ram_;
    QListWidget* segments_;
    QPushButton* insert_;
    QPushButton* delete_;
    QToolBar* tools_;
    QActionGroup* toolGroup_;
    QAction* toolActions_[3];
    S2CrossSectionView* canvas_;
    GridKeyboard* keyboard_;
    bool syncing_ = false; // the keyboard's cursor follows one set from elsewhere
    QLabel* where_;
    QComboBox* type_;
    QCheckBox* mirrored_;
    QComboBox* marker_;
    QSpinBox* requirements_[2][3];
    QLabel* counts_;
    QLabel* warning_;
    QPushButton* exportImage_;
};

// picS2CrossSection: draws the editor's segment and reports the mouse.
class S2CrossSectionView : public QWidget {
    Q_OBJECT
public:
    explicit S2CrossSectionView(S2SpecialStage* editor);
    QSize sizeHint() const override { return {360, 360}; }
    S2CrossSection section() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    S2SpecialStage* editor_;
};

} // namespace zorp::ui

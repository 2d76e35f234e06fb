#pragma once
// S3SpecialStage: the special stage editor control. It shows one stage as a
// 32 x 32 grid of 12 x 12 pictures, lets the user paint objects, place the
// start, set the perfect-ring count, pick a stage number, clear the stage and
// exchange it with S3S files. It never touches a ROM: the host feeds it with
// PutStage / ArrowProperties and hears of a stage change through StageChanged.
//
// The stage on screen is an S3StageDocument (core/stage); the control only
// draws it and turns the user's actions into its edits (paint strokes, start
// position, ring count, clear, import), kept as undo commands on undoStack().
// The keyboard works the grid too (GridKeyboard): arrow keys move a cell
// cursor, 1-7 (or E, B, R, Y, S, A) choose Empty .. Arrow, Space or Enter
// places the tool, Delete empties the cell, Page Up / Page Down step the
// stage combo. StageModified is true while the stack is away from
// its clean state, or after the host sets it true. Setting it false marks the
// stack clean. The host's own loading calls (PutStage, ArrowProperties,
// SetArrowProperties and the Load functions) replace the stage on screen and
// start a new undo history; StageModified keeps its value across them.
#include <QList>
#include <QPoint>
#include <QWidget>
#include <functional>
#include <optional>

#include "platform/Platform.h"
#include "rom/Bytes.h"
#include "stage/S3SFile.h"
#include "stage/S3StageDocument.h"
#include "stage/StageCounts.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QToolBar;
class QUndoStack;

namespace zorp::ui {

class GridKeyboard;
class StageCanvas;

class S3SpecialStage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool EnableYellowSphere READ EnableYellowSphere WRITE setEnableYellowSphere)
    Q_PROPERTY(bool EnableS3SFunctions READ EnableS3SFunctions WRITE setEnableS3SFunctions)
    Q_PROPERTY(int CurrentStage READ CurrentStage)
    Q_PROPERTY(bool ShowStageNumCombo READ ShowStageNumCombo WRITE setShowStageNumCombo)
    Q_PROPERTY(bool StageModified READ StageModified WRITE setStageModified NOTIFY StageModifiedChanged)
    Q_PROPERTY(bool ShowArrows READ ShowArrows WRITE setShowArrows)
    Q_PROPERTY(int Stages READ Stages WRITE setStages)

public:
    // The direction dialog and the S3S/C chooser, replaceable so tests can
    // answer them. They return a direction 1..4 (0 = cancelled) and a stage
    // index (-1 = none chosen).
    using DirectionAsker = std::function<int(QWidget* parent)>;
    using CompilationChooser = std::function<int(QWidget* parent, const zorp::S3SCIndex& index)>;

    explicit S3SpecialStage(QWidget* parent = nullptr);
    explicit S3SpecialStage(const Platform& platform, QWidget* parent = nullptr);
    ~S3SpecialStage() override;

    void setPlatform(const Platform& platform) { platform_ = platform; }
    void setDirectionAsker(DirectionAsker asker);
    void setCompilationChooser(CompilationChooser chooser);

    // The edit history; the workspace hangs its Undo / Redo actions on it.
    QUndoStack* undoStack() const { return undo_; }
    // The stage on screen.
    const zorp::S3StageDocument& document() const { return doc_; }
    // The grid's keyboard cursor.
    GridKeyboard* keyboard() const { return keyboard_; }

    // Properties.
    bool EnableYellowSphere() const;
    void setEnableYellowSphere(bool enable);
    bool EnableS3SFunctions() const;
    void setEnableS3SFunctions(bool enable);
    int CurrentStage() const; // -1 when no entry is selected
    bool ShowStageNumCombo() const;
    void setShowStageNumCombo(bool show);
    bool StageModified() const;
    void setStageModified(bool modified);
    bool ShowArrows() const { return showArrows_; }
    void setShowArrows(bool show);
    int Stages() const { return stages_; }
    // Refills the stage combo with "Stage 1" .. "Stage N" and selects the
    // first entry, without raising StageChanged.
    void setStages(int count);

    // Methods.
    zorp::StageGrid GetStage() const;
    void PutStage(const zorp::StageGrid& NewStage);
    void ArrowProperties(const zorp::PropertiesSection& Properties);
    zorp::StartData GetArrowProperties() const;
    void GetArrowProperties(int16_t* Direction, int32_t* Row, int32_t* Column, int32_t* Rings) const;
    void SetArrowProperties(int Direction, int Row, int Column, int Rings);
    // Draws one cell (without changing it); the marker too when the cell is
    // the start and NoArrow is false. Cells outside the grid are ignored.
    void DrawSphere(int X, int Y, int SphereNum, bool NoArrow = false);

    zorp::Bytes SaveV1SS() const; // 544 bytes
    zorp::Bytes SaveV2SS() const; // 416 bytes
    // Readers of the three S3S kinds; the bytes must be of that kind. A
    // version 2.00 comment is shown titled "S3S Comments - " + Filename (or
    // the file name last chosen in the Import dialog). LoadS3SC asks for the
    // stage and returns false when none was loaded.
    void LoadV1SS(const zorp::Bytes& file);
    void LoadV2SS(const zorp::Bytes& file, const QString& Filename = QString());
    bool LoadS3SC(const zorp::Bytes& file);

protected:
    void paintEvent(QPaintEvent* event) override;

signals:
    // The user picked another entry of the stage combo.
    void StageChanged(int OldStage, int NewStage);
    void StageModifiedChanged(bool modified);

private:
    void buildToolBar();
    void buildTopRow();
    void buildCountsRow();
    // The object counts under the grid, and the warning when no blue sphere is left.
    void updateCounts();
    void layoutTopRow();
    // Index into the tool table of the first pressed object tool; -1 for none.
    int currentTool() const;

    // Mouse editing.
    void onCanvasPressed(QPointF position, Qt::MouseButton button);
    void onCanvasMoved(QPointF position, Qt::MouseButtons buttons);
    void onCanvasReleased();
    void actAt(QPointF position, bool dragging);
    // Puts the current tool on a cell (mouse or keyboard); the Arrow tool asks
    // for the direction unless dragging.
    void actOnCell(int column, int row, bool dragging);
    void chooseTool(int tool);

    void onStageComboChanged(int index);
    void onRingsEdited(int value);

    // Tool bar commands.
    void clearStage();
    void exportStage();
    void importStage();
    void exportImage();

    // Readers shared by the Load functions and Import.
    zorp::S3StageState stateFromFile(const zorp::S3SStage& stage) const;
    std::optional<zorp::S3StageState> stateFromCompilation(const zorp::Bytes& file);
    void showComment(const std::optional<std::string>& comment, const QString& fileName);

    // Redraws what a change of the document touched.
    void onDocumentChanged(const zorp::DocumentChange& change);
    void drawStartMarker();
    void showRings();

    // The host replaced the stage: new undo history, flag kept.
    void replaceFromHost(const zorp::S3StageState& state);
    void markModified();
    void notifyModified();
    void redrawAll();

    Answer ask(const MessageRequest& request);

    Platform platform_;
    DirectionAsker askDirection_;
    CompilationChooser chooseStage_;

    zorp::S3StageDocument doc_;
    QPoint markerCell_{-1, -1}; // where the start marker is drawn now
    bool showArrows_ = true;
    int stages_ = 8;
    int lastStageIndex_ = 0;
    QPoint lastPosition_{-1, -1};
    int stroke_ = 0;
    bool baseModified_ = false;
    bool reportedModified_ = false;
    bool applying_ = false; // programmatic ring box changes are not user edits
    QString lastDialogFileName_;

    QUndoStack* undo_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QActionGroup* tools_ = nullptr;
    QList<QAction*> toolActions_; // Empty .. Arrow, in tool bar order
    QAction* clearAction_ = nullptr;
    QAction* separator_ = nullptr;
    QAction* exportAction_ = nullptr;
    QAction* importAction_ = nullptr;
    QComboBox* stageCombo_ = nullptr;
    QLabel* ringsCaption_ = nullptr;
    QSpinBox* rings_ = nullptr;
    StageCanvas* canvas_ = nullptr;
    GridKeyboard* keyboard_ = nullptr;
    QLabel* counts_ = nullptr;
    QLabel* warning_ = nullptr;
    QPushButton* exportImage_ = nullptr;
};

} // namespace zorp::ui

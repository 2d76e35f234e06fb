#pragma once
// S1SpecialStage: the Sonic 1 special stage editor. It views an
// S1StageDocument (core/stage): one of its six 64 x 64 layouts at a time,
// every block drawn as the player knows it, Sonic's start, the live counts
// and the warnings of a stage that cannot be finished. Every change is an
// edit of the document pushed on undoStack(); the control keeps no stage
// data of its own.
//
// Tools (tool bar tlbS1Tools, keys in brackets): Paint (P) puts the block
// chosen in the block list lstS1Blocks; Select (S) drags a rectangle; Start
// (T) moves Sonic's start. Copy (Ctrl+C), Paste (Ctrl+V, at the selection or
// the cursor), Fill (F: the selection with the chosen block), Select All
// (Ctrl+A), Export Image. The right mouse button picks the block under it.
// Keyboard (GridKeyboard): arrows move the cursor, Shift+arrows select,
// Space / Enter use the tool at the cursor, Delete empties the cell (or the
// selection), Page Up / Page Down change the stage, 1..9 and 0 choose the
// common blocks (empty, the four walls, bumper, GOAL, ring, the stage's
// emerald, R), letters E W B G U D R I M choose empty, wall, bumper, GOAL,
// UP, DOWN, R, ring, emerald.
#include <QWidget>
#include <optional>
#include <vector>

#include "platform/Platform.h"
#include "stage/S1StageDocument.h"

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QToolBar;
class QUndoStack;

namespace zorp::ui {

class GridKeyboard;
class S1StageCanvas;

class S1SpecialStage : public QWidget {
    Q_OBJECT
public:
    enum class Tool { Paint, Select, Start };

    explicit S1SpecialStage(const Platform& platform, QWidget* parent = nullptr);
    ~S1SpecialStage() override;

    zorp::S1StageDocument& document() { return doc_; }
    QUndoStack* undoStack() const { return undo_; }
    GridKeyboard* keyboard() const { return keyboard_; }

    // New stages (a load): a new undo history, not modified. Without a start
    // table the start is neither shown nor edited.
    void Load(std::vector<zorp::S1StageData> stages, bool startsEditable);
    // The whole editor off, with the reason shown (no codec, no stage read).
    void Disable(const QString& reason);

    bool Modified() const;
    void setModified(bool modified);

    int CurrentStage() const { return stage_; }
    void setCurrentStage(int stage);

    Tool tool() const { return tool_; }
    void setTool(Tool tool);
    uint8_t block() const { return block_; }
    // Chooses the block the Paint tool puts (and selects the Paint tool).
    void setBlock(uint8_t id);

    void copySelection();
    // What Copy took (empty before the first copy); Paste puts it.
    const zorp::GridClip& clip() const { return clip_; }
    void paste();
    void fillSelection();
    void selectAll();
    // Empties the selection, or the cursor's cell without one.
    void clearAtCursor();
    void exportImage();

signals:
    void modifiedChanged(bool modified);

private:
    void buildToolBar();
    void buildBlockList();
    void onDocumentChanged(const zorp::DocumentChange& change);
    void refreshStage();
    void updateCounts();

    void onPressed(QPoint cell, Qt::MouseButton button);
    void onMoved(QPoint cell, Qt::MouseButtons buttons);
    void useTool(QPoint cell, bool dragging);
    void chooseKey(int code);
    void pushCells(std::vector<zorp::CellsEdit::Change> changes, const QString& text, int stroke = 0);

    Platform platform_;
    zorp::S1StageDocument doc_;
    QUndoStack* undo_ = nullptr;
    int stage_ = 0;
    Tool tool_ = Tool::Paint;
    uint8_t block_ = zorp::kS1BlueWall;
    bool startsEditable_ = false;
    bool disabled_ = true;
    int stroke_ = 1;
    QPoint dragFrom_{-1, -1};
    zorp::GridClip clip_;
    bool reportedModified_ = false;

    QToolBar* toolBar_ = nullptr;
    QAction* paintAction_ = nullptr;
    QAction* selectAction_ = nullptr;
    QAction* startAction_ = nullptr;
    QComboBox* stageCombo_ = nullptr;
    S1StageCanvas* canvas_ = nullptr;
    GridKeyboard* keyboard_ = nullptr;
    QListWidget* blocks_ = nullptr;
    QLabel* counts_ = nullptr;
    QLabel* warning_ = nullptr;
};

} // namespace zorp::ui

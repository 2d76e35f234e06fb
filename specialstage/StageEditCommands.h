#pragma once
// The edits of the special stage editor as undo commands: a paint stroke, the
// start position, the ring count, and replacing the whole stage (clear,
// import). Each command changes the editor through its apply functions, which
// also redraw what changed.
#include <QUndoCommand>
#include <vector>

#include "specialstage/StageSnapshot.h"

namespace zorp::ui {

class S3SpecialStage;

// Cells painted from one press of the left button to its release. Cells
// painted while the same stroke goes on are merged into one command.
class PaintStrokeCommand : public QUndoCommand {
public:
    PaintStrokeCommand(S3SpecialStage* editor, int stroke, CellChange change, const QString& text);
    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

    const std::vector<CellChange>& changes() const { return changes_; }

private:
    S3SpecialStage* editor_;
    int stroke_;
    std::vector<CellChange> changes_;
};

// A new start position and direction.
class SetStartCommand : public QUndoCommand {
public:
    SetStartCommand(S3SpecialStage* editor, const zorp::StartData& before, const zorp::StartData& after);
    void undo() override;
    void redo() override;

private:
    S3SpecialStage* editor_;
    zorp::StartData before_;
    zorp::StartData after_;
};

// The perfect-ring count. Consecutive changes (typing a number, holding an
// arrow) merge into one command; one that ends where it began disappears.
class SetRingsCommand : public QUndoCommand {
public:
    SetRingsCommand(S3SpecialStage* editor, int before, int after);
    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

private:
    S3SpecialStage* editor_;
    int before_;
    int after_;
};

// The whole stage replaced at once: Clear and Import.
class ReplaceStageCommand : public QUndoCommand {
public:
    ReplaceStageCommand(S3SpecialStage* editor, const StageSnapshot& before, const StageSnapshot& after,
                        const QString& text);
    void undo() override;
    void redo() override;

private:
    S3SpecialStage* editor_;
    StageSnapshot before_;
    StageSnapshot after_;
};

} // namespace zorp::ui

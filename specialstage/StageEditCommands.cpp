#include "specialstage/StageEditCommands.h"

#include <algorithm>

#include "specialstage/S3SpecialStage.h"

namespace zorp::ui {

namespace {
constexpr int kPaintStrokeId = 0x5301;
constexpr int kRingsId = 0x5302;
} // namespace

PaintStrokeCommand::PaintStrokeCommand(S3SpecialStage* editor, int stroke, CellChange change, const QString& text)
    : QUndoCommand(text), editor_(editor), stroke_(stroke), changes_{change}
{
}

void PaintStrokeCommand::redo()
{
    for (const CellChange& change : changes_)
        editor_->applyCell(change.index, change.after);
}

void PaintStrokeCommand::undo()
{
    for (auto it = changes_.rbegin(); it != changes_.rend(); ++it)
        editor_->applyCell(it->index, it->before);
}

int PaintStrokeCommand::id() const { return kPaintStrokeId; }

bool PaintStrokeCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const PaintStrokeCommand*>(other);
    if (next->stroke_ != stroke_)
        return false;
    for (const CellChange& change : next->changes_) {
        auto same = std::find_if(changes_.begin(), changes_.end(),
                                 [&](const CellChange& c) { return c.index == change.index; });
        if (same != changes_.end())
            same->after = change.after; // keep the value from before the stroke
        else
            changes_.push_back(change);
    }
    // A stroke that mixes tools (never happens from the mouse) keeps its first name.
    return true;
}

SetStartCommand::SetStartCommand(S3SpecialStage* editor, const zorp::StartData& before, const zorp::StartData& after)
    : QUndoCommand(QStringLiteral("Set Starting Position")), editor_(editor), before_(before), after_(after)
{
}

void SetStartCommand::redo() { editor_->applyStart(after_); }
void SetStartCommand::undo() { editor_->applyStart(before_); }

SetRingsCommand::SetRingsCommand(S3SpecialStage* editor, int before, int after)
    : QUndoCommand(QStringLiteral("Change Ring Count")), editor_(editor), before_(before), after_(after)
{
}

void SetRingsCommand::redo() { editor_->applyRings(after_); }
void SetRingsCommand::undo() { editor_->applyRings(before_); }
int SetRingsCommand::id() const { return kRingsId; }

bool SetRingsCommand::mergeWith(const QUndoCommand* other)
{
    after_ = static_cast<const SetRingsCommand*>(other)->after_;
    setObsolete(after_ == before_);
    return true;
}

ReplaceStageCommand::ReplaceStageCommand(S3SpecialStage* editor, const StageSnapshot& before,
                                         const StageSnapshot& after, const QString& text)
    : QUndoCommand(text), editor_(editor), before_(before), after_(after)
{
}

void ReplaceStageCommand::redo() { editor_->applySnapshot(after_); }
void ReplaceStageCommand::undo() { editor_->applySnapshot(before_); }

} // namespace zorp::ui

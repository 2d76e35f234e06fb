#include "palette/PaletteEditCommands.h"

#include "palette/PalEdit.h"

namespace zorp::ui {

namespace {
constexpr int kSwatchColorId = 0x5041;
}

ChangeSwatchColorCommand::ChangeSwatchColorCommand(PalEdit* editor, int swatch, uint32_t before, uint32_t after,
                                                   const QString& text, bool mergeable)
    : QUndoCommand(text), editor_(editor), swatch_(swatch), before_(before), after_(after), mergeable_(mergeable)
{
}

void ChangeSwatchColorCommand::redo() { editor_->applySwatchColor(swatch_, after_); }
void ChangeSwatchColorCommand::undo() { editor_->applySwatchColor(swatch_, before_); }
int ChangeSwatchColorCommand::id() const { return kSwatchColorId; }

bool ChangeSwatchColorCommand::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const ChangeSwatchColorCommand*>(other);
    if (!mergeable_ || !next->mergeable_ || next->swatch_ != swatch_)
        return false;
    after_ = next->after_;
    // Moved back to where it started: nothing left to undo.
    setObsolete(after_ == before_);
    return true;
}

ReplaceColorsCommand::ReplaceColorsCommand(PalEdit* editor, int start, std::vector<uint32_t> before,
                                           std::vector<uint32_t> after, const QString& text)
    : QUndoCommand(text), editor_(editor), start_(start), before_(std::move(before)), after_(std::move(after))
{
}

void ReplaceColorsCommand::redo() { editor_->applyColors(start_, after_); }
void ReplaceColorsCommand::undo() { editor_->applyColors(start_, before_); }

} // namespace zorp::ui

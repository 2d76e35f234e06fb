#include "stage/S3StageDocument.h"

namespace zorp {

namespace {
constexpr int kRingsMergeKey = 0x301;
} // namespace

uint8_t S3StageDocument::Cell(int stage, int index) const
{
    return stage == 0 && index >= 0 && index < kStageCells ? state_.cells[static_cast<size_t>(index)] : 0;
}

void S3StageDocument::SetCells(int stage, const std::vector<std::pair<int, uint8_t>>& cells)
{
    if (stage != 0)
        return;
    DocumentChange change{DocumentChange::Kind::Cells, 0, {}};
    for (const auto& [index, value] : cells) {
        if (index < 0 || index >= kStageCells)
            continue;
        state_.cells[static_cast<size_t>(index)] = value;
        change.cells.push_back(index);
    }
    Notify(change);
}

void S3StageDocument::SetStart(const StartData& start)
{
    state_.start.Direction = start.Direction;
    state_.start.Column = start.Column;
    state_.start.Row = start.Row;
    Notify({DocumentChange::Kind::Start, 0, {}});
}

void S3StageDocument::SetRings(int rings)
{
    state_.start.Rings = ClampRings(rings);
    Notify({DocumentChange::Kind::Properties, 0, {}});
}

void S3StageDocument::SetRingsShown(bool shown)
{
    state_.ringsShown = shown;
    Notify({DocumentChange::Kind::Properties, 0, {}});
}

void S3StageDocument::Replace(const S3StageState& state)
{
    state_ = state;
    state_.start.Rings = ClampRings(state.start.Rings);
    Notify({DocumentChange::Kind::Stage, 0, {}});
}

SetStartEdit::SetStartEdit(S3StageDocument& document, const StartData& before, const StartData& after)
    : document_(document), before_(before), after_(after)
{
}

SetRingsEdit::SetRingsEdit(S3StageDocument& document, int before, int after)
    : document_(document), before_(before), after_(after)
{
}

int SetRingsEdit::MergeKey() const { return kRingsMergeKey; }

bool SetRingsEdit::MergeWith(const DocumentEdit& next)
{
    const auto* more = dynamic_cast<const SetRingsEdit*>(&next);
    if (!more || &more->document_ != &document_)
        return false;
    after_ = more->after_;
    return true;
}

ReplaceS3StageEdit::ReplaceS3StageEdit(S3StageDocument& document, S3StageState before, S3StageState after,
                                       std::string text)
    : document_(document), before_(std::move(before)), after_(std::move(after)), text_(std::move(text))
{
}

} // namespace zorp

#include "stage/S1StageDocument.h"

namespace zorp {

uint8_t S1StageDocument::Cell(int stage, int index) const
{
    if (!Contains(stage) || index < 0 || index >= kS1Cells)
        return 0;
    return stages_[static_cast<size_t>(stage)].cells[static_cast<size_t>(index)];
}

void S1StageDocument::SetCells(int stage, const std::vector<std::pair<int, uint8_t>>& cells)
{
    if (!Editable(stage))
        return;
    DocumentChange change{DocumentChange::Kind::Cells, stage, {}};
    S1Grid& grid = stages_[static_cast<size_t>(stage)].cells;
    for (const auto& [index, value] : cells) {
        if (index < 0 || index >= kS1Cells)
            continue;
        grid[static_cast<size_t>(index)] = value;
        change.cells.push_back(index);
    }
    Notify(change);
}

const S1StageData& S1StageDocument::Stage(int stage) const
{
    static const S1StageData kNone{{}, {}, "There is no such stage."};
    return Contains(stage) ? stages_[static_cast<size_t>(stage)] : kNone;
}

void S1StageDocument::SetStart(int stage, S1Start start)
{
    if (!Editable(stage))
        return;
    stages_[static_cast<size_t>(stage)].start = start;
    Notify({DocumentChange::Kind::Start, stage, {}});
}

void S1StageDocument::Load(std::vector<S1StageData> stages)
{
    stages_ = std::move(stages);
    Notify({DocumentChange::Kind::Document, 0, {}});
}

SetS1StartEdit::SetS1StartEdit(S1StageDocument& document, int stage, S1Start before, S1Start after)
    : document_(document), stage_(stage), before_(before), after_(after)
{
}

} // namespace zorp

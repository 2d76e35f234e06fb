#include "stage/StageStore.h"

#include <algorithm>

namespace zorp {

bool StageStore::IsValidStageCount(int64_t count) { return count >= 1 && count <= kMaxStageRecords; }

bool StageStore::Reset(int stageCount)
{
    if (!IsValidStageCount(stageCount))
        return false;
    stageCount_ = stageCount;
    block_.assign(static_cast<size_t>(stageCount) * kStageRecordSize, 0);
    fit_ = StageBlockFit::Exact;
    return true;
}

bool StageStore::Load(int stageCount, const std::vector<uint8_t>& block, std::string& error)
{
    if (!IsValidStageCount(stageCount)) {
        error = "The number of special stages must be between 1 and " + std::to_string(kMaxStageRecords) + ".";
        return false;
    }
    const size_t wanted = static_cast<size_t>(stageCount) * kStageRecordSize;
    std::vector<uint8_t> copy(wanted, 0);
    const size_t kept = std::min(wanted, block.size());
    std::copy_n(block.begin(), kept, copy.begin());

    stageCount_ = stageCount;
    block_ = std::move(copy);
    fit_ = block.size() == wanted ? StageBlockFit::Exact
           : block.size() < wanted ? StageBlockFit::Padded
                                   : StageBlockFit::Truncated;
    return true;
}

StageRecord StageStore::Record(int stage) const
{
    if (!Contains(stage))
        return StageRecord{};
    return ReadStageRecord(block_, stage);
}

bool StageStore::SetRecord(int stage, const StageRecord& record)
{
    if (!Contains(stage))
        return false;
    WriteStageRecord(block_, stage, record);
    return true;
}

bool StageStore::SetGrid(int stage, const StageGrid& cells)
{
    if (!Contains(stage))
        return false;
    std::copy(cells.begin(), cells.end(), block_.begin() + static_cast<std::ptrdiff_t>(OffsetOf(stage)));
    return true;
}

bool StageStore::SetProperties(int stage, const PropertiesSection& properties)
{
    if (!Contains(stage))
        return false;
    std::copy(properties.begin(), properties.end(),
              block_.begin() + static_cast<std::ptrdiff_t>(OffsetOf(stage) + kStageCells));
    return true;
}

bool StageStore::StoreStage(int stage, const StageGrid& cells, const std::optional<StartData>& start)
{
    if (!SetGrid(stage, cells))
        return false;
    if (start)
        SetProperties(stage, MakeProperties(*start));
    return true;
}

} // namespace zorp

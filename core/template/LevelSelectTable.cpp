#include "template/LevelSelectTable.h"

#include <algorithm>

#include "rom/PubFunctions.h"

namespace zorp {

LevelSelectTable::LevelSelectTable(LevelSelectSetup setup)
    : setup_(std::move(setup)), table_(FindDecodeTable(setup_.decodeTable)), names_(setup_.levels.size())
{
}

std::vector<int64_t> LevelSelectTable::RowOffsets() const
{
    std::vector<int64_t> offsets;
    offsets.reserve(setup_.levels.size());
    int64_t position = setup_.startAddress;
    for (const LevelEntry& level : setup_.levels) {
        offsets.push_back(position);
        position += int64_t{level.length} + level.separator;
    }
    return offsets;
}

void LevelSelectTable::LoadNames(const ByteSource& rom)
{
    const std::string characters = table_ ? table_->characters : std::string();
    const std::vector<int64_t> offsets = RowOffsets();
    for (size_t i = 0; i < names_.size(); ++i) {
        size_t length = static_cast<size_t>(std::max(0, setup_.levels[i].length));
        names_[i] = DecodeLevelText(characters, rom.Read(static_cast<uint64_t>(offsets[i]), length));
    }
}

std::string LevelSelectTable::NormaliseName(const std::string& text, int32_t length, bool keepCase)
{
    size_t size = static_cast<size_t>(std::max(0, length));
    std::string name = text.substr(0, std::min(text.size(), size));
    name.resize(size, ' ');
    return keepCase ? name : UpperAscii(name);
}

const std::string& LevelSelectTable::SetName(int row, const std::string& text)
{
    std::string& name = names_[static_cast<size_t>(row)];
    name = NormaliseName(text, RowLength(row), KeepsCase());
    return name;
}

LevelSelectTable::WritePlan LevelSelectTable::PlanWrites(uint64_t fileSize) const
{
    WritePlan plan;
    if (!table_)
        return plan;
    const std::vector<int64_t> offsets = RowOffsets();
    for (size_t i = 0; i < names_.size(); ++i) {
        Bytes codes = EncodeLevelText(names_[i], table_->characters, table_->fillCode, KeepsCase());
        if (codes.empty())
            continue;
        uint64_t offset = static_cast<uint64_t>(offsets[i]);
        if (!FitsInFile(offset, codes.size(), fileSize)) {
            plan.rowsPastEnd.push_back(static_cast<int>(i));
            continue;
        }
        plan.writes.push_back({offset, std::move(codes)});
    }
    return plan;
}

Message LevelNamesPastEndMessage(const std::vector<int>& rows)
{
    std::string list;
    for (int row : rows) {
        if (!list.empty())
            list += ", ";
        list += std::to_string(row + 1);
    }
    return {MessageIcon::Exclamation,
            "Level Names Not Saved",
            {"These level names lie past the end of the ROM file and were not saved:", list}};
}

} // namespace zorp

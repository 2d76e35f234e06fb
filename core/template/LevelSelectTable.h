#pragma once
// The level select editor's model: one name per level, read from the ROM
// through a decode table, edited in place and encoded back.
//
// Layout: name 1 starts at the start address; name k+1 starts where name k
// starts plus its length plus its separator. Separator bytes are never read
// or written.
#include <cstdint>
#include <string>
#include <vector>

#include "rom/Message.h"
#include "template/ByteSource.h"
#include "template/DecodeTables.h"
#include "template/EditorSetups.h"

namespace zorp {

class LevelSelectTable {
public:
    explicit LevelSelectTable(LevelSelectSetup setup);

    int RowCount() const { return static_cast<int>(names_.size()); }
    int32_t RowLength(int row) const { return setup_.levels[static_cast<size_t>(row)].length; }
    const std::string& Name(int row) const { return names_[static_cast<size_t>(row)]; }
    const LevelSelectSetup& Setup() const { return setup_; }

    // The decode table named by the template, or nullptr for an unknown name
    // (then every name reads as spaces and nothing is written).
    const DecodeTable* Table() const { return table_; }
    // Names keep their letter case only with the "C++" table.
    bool KeepsCase() const { return setup_.decodeTable == kCaseKeepingTable; }
    // Width of the list's column: 8 units per character of the longest name
    // plus 16.
    int64_t ColumnWidth() const { return 8 * int64_t{setup_.longestLength} + 16; }

    // File offset of each row's name.
    std::vector<int64_t> RowOffsets() const;

    // Reads every name from the ROM (bytes past the end read as 0).
    void LoadNames(const ByteSource& rom);

    // An edited name: cut or padded with spaces to the row's length, and
    // upper-cased unless the table keeps case. Returns the stored name.
    const std::string& SetName(int row, const std::string& text);
    static std::string NormaliseName(const std::string& text, int32_t length, bool keepCase);

    struct WritePlan {
        std::vector<Patch> writes;
        std::vector<int> rowsPastEnd; // 0-based rows not written: past the end of the file
    };
    // The writes that store every name in a file of fileSize bytes. A name
    // that would reach past the end of the file is reported, not written; an
    // empty name writes nothing.
    WritePlan PlanWrites(uint64_t fileSize) const;

private:
    LevelSelectSetup setup_;
    const DecodeTable* table_;
    std::vector<std::string> names_;
};

// The warning to show when names were not written (row numbers from 1).
Message LevelNamesPastEndMessage(const std::vector<int>& rows);

} // namespace zorp

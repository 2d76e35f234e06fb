#pragma once
// The stage block of a workspace held in memory: N stage records of 1032
// bytes, record k at byte 1032 * k. It is filled from the ROM's block (plain
// or decompressed) when a ROM is loaded, keeps every stage while the user
// moves between them, and hands the whole block back for saving.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "stage/SpecialStage.h"

namespace zorp {

// How a loaded block compared with the N records the template asks for.
enum class StageBlockFit {
    Exact,     // exactly 1032 * N bytes
    Padded,    // shorter: the missing bytes read as 0
    Truncated, // longer: only the first N records are kept
};

class StageStore {
public:
    // An empty store (no stages) until Load or Reset succeeds.
    StageStore() = default;

    // True for a stage count the store accepts: 1 to kMaxStageRecords.
    static bool IsValidStageCount(int64_t count);

    // N zero-filled records. False (store unchanged) for an invalid count.
    bool Reset(int stageCount);

    // Takes a stage block as read from a ROM or produced by the decompressor.
    // The store always ends up with exactly N records: a shorter block is
    // filled with zero bytes (unread stages come out empty, as they would from
    // a short read of the ROM), a longer one keeps only its first N records,
    // because saving may write no more than 1032 * N bytes into the ROM. False
    // with a message (store unchanged) for an invalid count.
    bool Load(int stageCount, const std::vector<uint8_t>& block, std::string& error);
    // How the last successful Load matched the expected size.
    StageBlockFit LastFit() const { return fit_; }

    int StageCount() const { return stageCount_; }
    bool Contains(int stage) const { return stage >= 0 && stage < stageCount_; }

    // The whole block, exactly 1032 * StageCount() bytes.
    const std::vector<uint8_t>& Block() const { return block_; }

    // Reads of a stage outside 0..N-1 return zero bytes.
    StageRecord Record(int stage) const;
    StageGrid Grid(int stage) const { return Record(stage).cells; }
    PropertiesSection Properties(int stage) const { return Record(stage).properties; }

    // Writes return false and change nothing for a stage outside 0..N-1.
    bool SetRecord(int stage, const StageRecord& record);
    bool SetGrid(int stage, const StageGrid& cells);
    bool SetProperties(int stage, const PropertiesSection& properties);

    // Stores the stage on screen: its grid, and when the stage carries start
    // data a properties section made from it. Without start data the stored
    // properties section stays exactly as read.
    bool StoreStage(int stage, const StageGrid& cells, const std::optional<StartData>& start);

private:
    uint64_t OffsetOf(int stage) const { return static_cast<uint64_t>(stage) * kStageRecordSize; }

    int stageCount_ = 0;
    std::vector<uint8_t> block_;
    StageBlockFit fit_ = StageBlockFit::Exact;
};

} // namespace zorp

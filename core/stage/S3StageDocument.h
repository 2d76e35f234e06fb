#pragma once
// The Sonic 3 / Sonic & Knuckles stage on screen as a stage document: the
// 32 x 32 grid, the start data and whether the ring count is offered. The
// editor control shows one stage at a time; its host keeps the whole block
// (StageStore) and swaps stages in and out, so this document holds one stage.
// The control's undo commands are the edits below, acting on it.
#include <string>

#include "stage/SpecialStage.h"
#include "stage/StageDocument.h"

namespace zorp {

struct S3StageState {
    StageGrid cells{};
    StartData start;         // Rings is the perfect-ring count
    bool ringsShown = true;  // the ring count is offered (the stage carries start data)
};

class S3StageDocument : public GridDocument {
public:
    int StageCount() const override { return 1; }
    int Columns() const override { return kStageSide; }
    int Rows() const override { return kStageSide; }
    uint8_t Cell(int stage, int index) const override;
    void SetCells(int stage, const std::vector<std::pair<int, uint8_t>>& cells) override;

    const S3StageState& State() const { return state_; }
    const StageGrid& Grid() const { return state_.cells; }
    const StartData& Start() const { return state_.start; }

    // Direction, column and row of start (its ring count is left alone).
    void SetStart(const StartData& start);
    // The ring count, limited to 0..1024.
    void SetRings(int rings);
    void SetRingsShown(bool shown);
    void Replace(const S3StageState& state);

private:
    S3StageState state_;
};

// A new start position and direction.
class SetStartEdit : public DocumentEdit {
public:
    SetStartEdit(S3StageDocument& document, const StartData& before, const StartData& after);
    void Redo() override { document_.SetStart(after_); }
    void Undo() override { document_.SetStart(before_); }
    std::string Text() const override { return "Set Starting Position"; }

private:
    S3StageDocument& document_;
    StartData before_;
    StartData after_;
};

// The perfect-ring count. Consecutive changes (typing a number, holding an
// arrow) merge; one that ends where it began is empty.
class SetRingsEdit : public DocumentEdit {
public:
    SetRingsEdit(S3StageDocument& document, int before, int after);
    void Redo() override { document_.SetRings(after_); }
    void Undo() override { document_.SetRings(before_); }
    std::string Text() const override { return "Change Ring Count"; }
    int MergeKey() const override;
    bool MergeWith(const DocumentEdit& next) override;
    bool Empty() const override { return before_ == after_; }

private:
    S3StageDocument& document_;
    int before_;
    int after_;
};

// The whole stage replaced at once (Clear, Import).
class ReplaceS3StageEdit : public DocumentEdit {
public:
    ReplaceS3StageEdit(S3StageDocument& document, S3StageState before, S3StageState after, std::string text);
    void Redo() override { document_.Replace(after_); }
    void Undo() override { document_.Replace(before_); }
    std::string Text() const override { return text_; }

private:
    S3StageDocument& document_;
    S3StageState before_;
    S3StageState after_;
    std::string text_;
};

} // namespace zorp

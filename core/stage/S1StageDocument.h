#pragma once
// The Sonic 1 special stages of a ROM as one stage document: six 64 x 64
// layouts and their start positions. A stage that could not be read (a bad
// pointer, a malformed stream, a layout of the wrong size) keeps its reason
// and takes no edits, so it is never written back.
#include <string>
#include <vector>

#include "stage/S1Stage.h"
#include "stage/StageDocument.h"

namespace zorp {

struct S1StageData {
    S1Grid cells{};
    S1Start start;
    std::string error; // why the stage could not be read; empty when it was
    bool readable() const { return error.empty(); }
};

class S1StageDocument : public GridDocument {
public:
    int StageCount() const override { return static_cast<int>(stages_.size()); }
    int Columns() const override { return kS1Side; }
    int Rows() const override { return kS1Side; }
    uint8_t Cell(int stage, int index) const override;
    // Ignored for a stage that could not be read.
    void SetCells(int stage, const std::vector<std::pair<int, uint8_t>>& cells) override;

    bool Contains(int stage) const { return stage >= 0 && stage < StageCount(); }
    // A stage outside the document reads as an unreadable empty stage.
    const S1StageData& Stage(int stage) const;
    const std::vector<S1StageData>& Stages() const { return stages_; }
    bool Editable(int stage) const { return Contains(stage) && stages_[static_cast<size_t>(stage)].readable(); }

    void SetStart(int stage, S1Start start);
    // Everything new (a load): one Document change.
    void Load(std::vector<S1StageData> stages);

private:
    std::vector<S1StageData> stages_;
};

// Sonic's start moved to another place.
class SetS1StartEdit : public DocumentEdit {
public:
    SetS1StartEdit(S1StageDocument& document, int stage, S1Start before, S1Start after);
    void Redo() override { document_.SetStart(stage_, after_); }
    void Undo() override { document_.SetStart(stage_, before_); }
    std::string Text() const override { return "Move Start Position"; }
    bool Empty() const override { return before_ == after_; }
    int Stage() const { return stage_; }

private:
    S1StageDocument& document_;
    int stage_;
    S1Start before_;
    S1Start after_;
};

} // namespace zorp

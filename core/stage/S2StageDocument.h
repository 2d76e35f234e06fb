#pragma once
// The Sonic 2 special stages as one document: the 7 stages' segments (layout
// block), their object lists and the two ring requirement tables. The editor
// only views it and edits through the operations below; each operation
// checks the game's limits and either changes the document or returns the
// reason it did not. Undo works on whole-stage states: an S2StageEdit holds
// a stage's state before and after (a stage is at most a few hundred bytes)
// and sets it through SetState, which tells the document's observers.
//
// A segment is a row of the stage: its layout byte (type and mirroring) and
// its object list. The original stages do not always have as many lists as
// layout bytes (the surplus is played after the emerald, or never), so a row
// may lack either; inserting or deleting a segment inserts or deletes both
// where they exist, so the rest of the stage keeps its pairing.
#include <optional>
#include <string>

#include "stage/S2StageData.h"
#include "stage/StageDocument.h"

namespace zorp {

// One stage's share of the document.
struct S2StageState {
    Bytes segments;         // layout bytes
    S2StageObjects objects; // object lists
    std::array<uint8_t, 4> team{};
    std::array<uint8_t, 4> alone{};
    friend bool operator==(const S2StageState&, const S2StageState&) = default;
};

class S2StageDocument : public StageDocument {
public:
    S2StageDocument() = default;
    S2StageDocument(S2LayoutBlock layouts, S2ObjectLists objects, S2RingTable team, S2RingTable alone);
    // Copies carry the data, not the observers; an assignment tells the
    // observers of the one assigned to that everything changed.
    S2StageDocument(const S2StageDocument& other);
    S2StageDocument& operator=(const S2StageDocument& other);

    int StageCount() const override { return kS2Stages; }
    // Rows of a stage: the larger of its layout bytes and its lists.
    int SegmentCount(int stage) const;
    bool HasLayout(int stage, int segment) const;
    bool HasList(int stage, int segment) const;
    uint8_t SegmentByte(int stage, int segment) const; // 0x03 when the row has no layout byte
    const S2ObjectList* List(int stage, int segment) const; // nullptr when the row has none

    const S2LayoutBlock& Layouts() const { return layouts_; }
    const S2ObjectLists& Objects() const { return objects_; }
    const S2RingTable& TeamRings() const { return team_; }
    const S2RingTable& AloneRings() const { return alone_; }

    // Edits. Each returns "" when done, else why nothing changed.
    std::string SetSegment(int stage, int segment, uint8_t type, bool mirrored);
    std::string SetMarker(int stage, int segment, S2Marker marker);
    std::string AddObject(int stage, int segment, const S2Object& object);
    std::string MoveObject(int stage, int segment, int index, const S2Object& object);
    std::string RemoveObject(int stage, int segment, int index);
    // A new plain, empty, straight segment before `segment` (SegmentCount: at the end).
    std::string InsertSegment(int stage, int segment);
    std::string DeleteSegment(int stage, int segment);
    void SetRequirement(bool team, int stage, int part, uint8_t rings);

    S2StageState State(int stage) const;
    void SetState(int stage, const S2StageState& state);

    // The decoded data as the game loads it, and the bytes of RAM it takes
    // (layouts: whole tiles; object lists: without the padding at the very
    // end, which gives way when the lists need the room).
    Bytes LayoutBytes() const { return WriteS2Layouts(layouts_); }
    Bytes ObjectListBytes() const;
    size_t LayoutSize() const { return LayoutBytes().size(); }
    size_t ObjectBytes() const;

    S2StageCheck Check(int stage) const;

private:
    std::string CheckObjectRoom(size_t extra) const;
    bool ValidRow(int stage, int segment) const;

    S2LayoutBlock layouts_;
    S2ObjectLists objects_;
    S2RingTable team_{};
    S2RingTable alone_{};
};

// One edit of one stage, as the undo history replays it.
class S2StageEdit : public DocumentEdit {
public:
    // Edits with the same non-zero merge key (one drag) become one.
    S2StageEdit(S2StageDocument& document, int stage, S2StageState before, S2StageState after, std::string text,
                int mergeKey = 0);
    void Redo() override { document_.SetState(stage_, after_); }
    void Undo() override { document_.SetState(stage_, before_); }
    std::string Text() const override { return text_; }
    int MergeKey() const override { return mergeKey_; }
    bool MergeWith(const DocumentEdit& next) override;
    bool Empty() const override { return before_ == after_; }

private:
    S2StageDocument& document_;
    int stage_;
    S2StageState before_;
    S2StageState after_;
    std::string text_;
    int mergeKey_;
};

} // namespace zorp

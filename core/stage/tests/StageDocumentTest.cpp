// The stage-document pattern on the Sonic 3 document: edits change the
// document only through its setters (the observers hear every change), undo
// restores exactly, strokes merge, empty edits are recognised.
#include <gtest/gtest.h>

#include "stage/S3StageDocument.h"

using namespace zorp;

namespace {

struct Recorder {
    std::vector<DocumentChange> changes;
    explicit Recorder(StageDocument& document)
    {
        document.Observe([this](const DocumentChange& c) { changes.push_back(c); });
    }
};

TEST(StageDocument, StrokesMergeAndUndoRestoresEveryCell)
{
    S3StageDocument doc;
    Recorder seen(doc);
    CellsEdit stroke(doc, 0, {{5, 0, Blue}}, "Place Blue Spheres", 7);
    stroke.Redo();
    CellsEdit more(doc, 0, {{6, 0, Blue}, {5, Blue, Red}}, "Place Blue Spheres", 7);
    more.Redo();
    ASSERT_TRUE(stroke.MergeWith(more));
    EXPECT_FALSE(stroke.MergeWith(CellsEdit(doc, 0, {{9, 0, Red}}, "other", 8))); // another stroke
    EXPECT_FALSE(CellsEdit(doc, 0, {{9, 0, Red}}, "single").MergeKey());           // stroke 0 never merges
    EXPECT_EQ(doc.Grid()[5], Red);
    EXPECT_EQ(doc.Grid()[6], Blue);

    stroke.Undo();
    EXPECT_EQ(doc.Grid()[5], Empty) << "the value from before the stroke comes back";
    EXPECT_EQ(doc.Grid()[6], Empty);
    ASSERT_FALSE(seen.changes.empty());
    EXPECT_EQ(seen.changes.back().kind, DocumentChange::Kind::Cells);
    EXPECT_EQ(seen.changes.back().cells, (std::vector<int>{6, 5}));

    // A cell set to what it holds is no change at all.
    EXPECT_TRUE(CellsEdit(doc, 0, CellsEdit::Setting(doc, 0, {1, 2}, Empty), "none").Empty());
    EXPECT_EQ(CellsEdit(doc, 0, CellsEdit::Setting(doc, 0, {1, 2, -1, 5000}, Ring), "rings").Changes().size(), 2u);
}

TEST(StageDocument, SonicThreeEditsUndoAndMerge)
{
    S3StageDocument doc;
    Recorder seen(doc);
    StartData start;
    start.Direction = S3S_Left;
    start.Column = 4;
    start.Row = 9;
    start.Rings = 3; // not part of a start edit
    SetStartEdit move(doc, doc.Start(), start);
    move.Redo();
    EXPECT_EQ(doc.Start().Column, 4);
    EXPECT_EQ(doc.Start().Rings, 0);
    move.Undo();
    EXPECT_EQ(doc.Start().Direction, 0);

    SetRingsEdit rings(doc, 0, 40);
    rings.Redo();
    SetRingsEdit back(doc, 40, 0);
    back.Redo();
    ASSERT_TRUE(rings.MergeWith(back));
    EXPECT_TRUE(rings.Empty()) << "typing back the old count leaves nothing to undo";
    doc.SetRings(5000);
    EXPECT_EQ(doc.Start().Rings, kMaxRings);

    S3StageState cleared = doc.State();
    cleared.cells.fill(Blue);
    cleared.ringsShown = false;
    ReplaceS3StageEdit clear(doc, doc.State(), cleared, "Clear Special Stage");
    clear.Redo();
    EXPECT_EQ(doc.Grid()[1023], Blue);
    EXPECT_FALSE(doc.State().ringsShown);
    clear.Undo();
    EXPECT_EQ(doc.Grid()[1023], Empty);
    EXPECT_TRUE(doc.State().ringsShown);
    EXPECT_EQ(seen.changes.back().kind, DocumentChange::Kind::Stage);
}

} // namespace

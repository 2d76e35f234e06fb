// The stage-document pattern on the Sonic 3 document: edits change the
// document only through its setters (the observers hear every change), undo
// restores exactly, strokes merge, empty edits are recognised. The Sonic 3
// start, ring and whole-stage edits are driven through the editor in
// specialstage/tests.
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

} // namespace

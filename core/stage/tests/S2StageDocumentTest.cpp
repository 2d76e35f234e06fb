// The Sonic 2 stage document on the real stages: edits keep within the
// game's RAM, segments stay paired with their lists, and a stage's state
// restores it exactly (what undo relies on).
#include <gtest/gtest.h>

#include "StageTestData.h"
#include "kosinski/modVorlith_Extract.h"
#include "stage/S2StageDocument.h"

namespace zorp {
namespace {

class S2StageDocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto layouts = testdata::ReadFile(std::string(ZORP_CORPUS_DIR) +
                                          "/nemesis/s2__misc__Special_stage_level_layouts.nem.dec");
        auto stream = testdata::ReadFile(std::string(ZORP_CORPUS_DIR) + "/stages/s2-ss-objects.kos");
        if (!layouts || !stream)
            GTEST_SKIP() << "corpus not found at " << ZORP_CORPUS_DIR;
        layouts_ = *layouts;
        objects_ = modVorlith_Extract::Decode(*stream).output;
        doc_ = S2StageDocument(ReadS2Layouts(layouts_).block, ReadS2ObjectLists(objects_).lists, {}, {});
    }
    Bytes layouts_;
    Bytes objects_;
    S2StageDocument doc_;
};

TEST_F(S2StageDocumentTest, UnchangedDocumentGivesTheLoadedBytes)
{
    EXPECT_EQ(doc_.LayoutBytes(), layouts_);
    EXPECT_EQ(doc_.ObjectListBytes(), objects_);
    EXPECT_EQ(doc_.ObjectBytes(), kS2ObjectListRamLimit - 3); // the 3 bytes of padding give way
    EXPECT_EQ(doc_.SegmentCount(0), 46);
    EXPECT_EQ(doc_.SegmentCount(2), 46); // stage 3: more lists than layout bytes
    EXPECT_FALSE(doc_.HasLayout(2, 45));
    EXPECT_TRUE(doc_.HasList(2, 45));
}

TEST_F(S2StageDocumentTest, SegmentsAreInsertedAndDeletedWithinTheRam)
{
    S2StageState before = doc_.State(0);
    // The lists have 3 bytes of padding to spare: three new segments fit.
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(doc_.InsertSegment(0, 5), "");
    EXPECT_NE(doc_.InsertSegment(0, 5).find("object lists would need 6881 bytes"), std::string::npos);
    EXPECT_EQ(doc_.SegmentCount(0), 49);
    EXPECT_EQ(doc_.SegmentByte(0, 5), 0x03);
    EXPECT_EQ(doc_.List(0, 5)->terminator, 0xFF);
    EXPECT_EQ(doc_.List(0, 8)->terminator, before.objects.lists[5].terminator); // the rest moved along
    EXPECT_EQ(doc_.ObjectListBytes().size(), kS2ObjectListRamLimit);
    ASSERT_EQ(ReadS2ObjectLists(doc_.ObjectListBytes()).lists.stages[0].lists.size(), 48u);
    EXPECT_NE(doc_.AddObject(0, 0, {false, 3, 0x40}), "");

    // Deleting frees the room again: two segments' terminators, one object.
    ASSERT_EQ(doc_.DeleteSegment(0, 5), "");
    EXPECT_NE(doc_.AddObject(0, 0, {false, 3, 0x40}), "");
    ASSERT_EQ(doc_.DeleteSegment(0, 5), "");
    EXPECT_EQ(doc_.AddObject(0, 0, {false, 3, 0x40}), "");
    EXPECT_NE(doc_.AddObject(0, 0, {false, 3, 0x40}), "");

    doc_.SetState(0, before);
    EXPECT_EQ(doc_.LayoutBytes(), layouts_);
    EXPECT_EQ(doc_.ObjectListBytes(), objects_);

    // The layouts have 16 tiles of RAM: 128 more segment bytes.
    S2StageState stage7 = doc_.State(6);
    stage7.objects.lists.clear(); // make room in the lists for the test
    doc_.SetState(6, stage7);
    for (int i = 0; i < 128; ++i)
        ASSERT_EQ(doc_.InsertSegment(6, 0), "") << i;
    EXPECT_EQ(doc_.LayoutSize(), kS2LayoutRamLimit);
    EXPECT_NE(doc_.InsertSegment(6, 0).find("segment layouts"), std::string::npos);
}

TEST_F(S2StageDocumentTest, EditsChangeOnlyWhatTheyName)
{
    struct Edit {
        const char* name;
        std::function<std::string(S2StageDocument&)> apply;
        bool taken;
    };
    const std::vector<Edit> edits = {
        {"type", [](S2StageDocument& d) { return d.SetSegment(1, 0, 1, true); }, true},
        {"bad type", [](S2StageDocument& d) { return d.SetSegment(1, 0, 5, false); }, false},
        {"marker", [](S2StageDocument& d) { return d.SetMarker(1, 0, S2Marker::Checkpoint); }, true},
        {"move", [](S2StageDocument& d) { return d.MoveObject(1, 5, 0, {true, 63, 0x90}); }, true},
        {"too far", [](S2StageDocument& d) { return d.MoveObject(1, 5, 0, {true, 64, 0x90}); }, false},
        {"remove", [](S2StageDocument& d) { return d.RemoveObject(1, 5, 0); }, true},
        {"no object", [](S2StageDocument& d) { return d.RemoveObject(1, 5, 999); }, false},
        {"no segment", [](S2StageDocument& d) { return d.DeleteSegment(1, 44); }, false},
        {"layout byte for a list-only row", [](S2StageDocument& d) { return d.SetSegment(2, 45, 2, false); }, true},
    };
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.name);
        S2StageDocument doc = doc_;
        std::string error = edit.apply(doc);
        EXPECT_EQ(error.empty(), edit.taken) << error;
        for (int s = 0; s < kS2Stages; ++s) {
            bool edited = edit.taken && s == (edit.name == std::string("layout byte for a list-only row") ? 2 : 1);
            EXPECT_EQ(doc.State(s) == doc_.State(s), !edited) << "stage " << s + 1;
        }
    }
    S2StageDocument doc = doc_;
    ASSERT_EQ(doc.SetSegment(1, 0, 1, true), "");
    EXPECT_EQ(doc.SegmentByte(1, 0), 0x81);
    ASSERT_EQ(doc.SetSegment(2, 45, 2, false), "");
    EXPECT_EQ(doc.State(2).segments.size(), 46u); // filled up with straight segments
    EXPECT_EQ(doc.SegmentByte(2, 44), 0x03);
}

} // namespace
} // namespace zorp

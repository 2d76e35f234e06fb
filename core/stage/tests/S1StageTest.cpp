// The Sonic 1 stage model: what each block ID is and whether Sonic passes
// it, the start cell and its moves, the warnings, and the document that
// refuses edits to a stage it could not read.
#include <gtest/gtest.h>

#include "stage/S1StageDocument.h"

using namespace zorp;

namespace {

TEST(S1Stage, BlockTableFollowsTheGamesRanges)
{
    struct Row {
        uint8_t id;
        S1BlockKind kind;
        int variant;
        bool solid;
    };
    const Row rows[] = {
        {0x00, S1BlockKind::Empty, 0, false},    {0x01, S1BlockKind::Wall, 0, true},
        {0x12, S1BlockKind::Wall, 1, true},      {0x13, S1BlockKind::Wall, 2, true},
        {0x24, S1BlockKind::Wall, 3, true},      {0x25, S1BlockKind::Bumper, 0, true},
        {0x27, S1BlockKind::Goal, 0, true},      {0x28, S1BlockKind::OneUp, 0, false},
        {0x2B, S1BlockKind::Reverse, 0, true},   {0x30, S1BlockKind::Glass, 3, true},
        {0x39, S1BlockKind::Zone, 6, true},      {0x3A, S1BlockKind::Ring, 0, false},
        {0x40, S1BlockKind::Emerald, 5, false},  {0x41, S1BlockKind::Ghost, 0, false},
        {0x4A, S1BlockKind::Switch, 0, false},   {0x4B, S1BlockKind::Frame, 0, true},
        {0x4F, S1BlockKind::Invisible, 0, true}, {0xFF, S1BlockKind::Invisible, 0, true},
    };
    for (const Row& r : rows) {
        const S1BlockInfo info = DescribeS1Block(r.id);
        EXPECT_EQ(info.kind, r.kind) << int(r.id);
        EXPECT_EQ(info.variant, r.variant) << int(r.id);
        EXPECT_EQ(info.solid, r.solid) << int(r.id);
        EXPECT_FALSE(info.name.empty());
    }
}

TEST(S1Stage, StartCellsMovesAndWarnings)
{
    // Stage 1's start (0x3D0, 0x2E0) is at row 1, column 9; moving it keeps
    // its place inside the cell, so moving back gives the very same words.
    const S1Start start{0x3D0, 0x2E0};
    EXPECT_EQ(S1StartCell(start), (S1Cell{9, 1}));
    const S1Start moved = S1StartAtCell(start, {40, 50});
    EXPECT_EQ(S1StartCell(moved), (S1Cell{40, 50}));
    EXPECT_EQ(S1StartAtCell(moved, {9, 1}), start);

    S1Grid grid{};
    EXPECT_EQ(S1StageWarnings(grid, std::nullopt, 0).at(0), "No emerald and no GOAL block: the stage can never be left.");
    grid[100] = kS1Goal;
    EXPECT_EQ(S1StageWarnings(grid, std::nullopt, 0).at(0), "No emerald: the stage can only be left through a GOAL block.");
    grid[101] = S1EmeraldOfStage(2);
    EXPECT_NE(S1StageWarnings(grid, std::nullopt, 0).at(0).find("Emerald 3 belongs to stage 3"), std::string::npos);
    EXPECT_TRUE(S1StageWarnings(grid, std::nullopt, 2).empty());
    // The probe covers the start cell and its right and lower neighbours.
    grid[static_cast<size_t>(S1CellIndex(10, 2))] = kS1BlueWall;
    EXPECT_EQ(S1StageWarnings(grid, start, 2).size(), 1u);
    grid[static_cast<size_t>(S1CellIndex(10, 2))] = kS1Ring;
    EXPECT_TRUE(S1StageWarnings(grid, start, 2).empty());
    EXPECT_EQ(S1StageWarnings(grid, S1Start{0, 0}, 2).at(0), "The start position lies outside the layout.");
}

TEST(S1Stage, DocumentRefusesEditsToAnUnreadableStage)
{
    S1StageDocument doc;
    std::vector<DocumentChange> seen;
    doc.Observe([&](const DocumentChange& c) { seen.push_back(c); });
    std::vector<S1StageData> stages(2);
    stages[1].error = "Stage 2 cannot be edited: damaged.";
    doc.Load(stages);
    CellsEdit paint(doc, 0, {{5, 0, kS1Ring}}, "Place Ring");
    paint.Redo();
    EXPECT_EQ(doc.Cell(0, 5), kS1Ring);
    CellsEdit refused(doc, 1, {{5, 0, kS1Ring}}, "Place Ring");
    refused.Redo();
    EXPECT_EQ(doc.Cell(1, 5), 0);
    SetS1StartEdit start(doc, 0, {}, {0x3D0, 0x2E0});
    start.Redo();
    EXPECT_EQ(doc.Stage(0).start, (S1Start{0x3D0, 0x2E0}));
    start.Undo();
    EXPECT_EQ(doc.Stage(0).start, S1Start{});
    EXPECT_EQ(seen.back().kind, DocumentChange::Kind::Start);
    // Copy, paste and fill stay inside the grid.
    const GridClip clip = CopyCells(doc, 0, {4, 0, 3, 2});
    EXPECT_EQ(clip.cells, (std::vector<uint8_t>{0, kS1Ring, 0, 0, 0, 0}));
    EXPECT_EQ(PasteChanges(doc, 0, 62, 63, clip).size(), 2u);
    EXPECT_EQ(FillChanges(doc, 0, {60, 60, 10, 10}, kS1Goal).size(), 16u);
}

} // namespace

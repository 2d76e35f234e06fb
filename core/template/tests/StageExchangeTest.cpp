// Stages of a block exchanged as S3S files: the file names, export and
// import in both versions (one contract, run for each), and the files an
// import must refuse.
#include <gtest/gtest.h>

#include "stage/tests/StageTestData.h"
#include "template/StageExchange.h"

namespace zorp {
namespace {

TEST(StageFileName, NumbersFromOneWithAtLeastTwoDigits)
{
    struct Case {
        int stage;
        int count;
        const char* name;
    };
    const Case cases[] = {
        {0, 1, "stage01.s3s"},   {0, 8, "stage01.s3s"},    {7, 8, "stage08.s3s"},
        {9, 10, "stage10.s3s"},  {98, 99, "stage99.s3s"},  {0, 100, "stage001.s3s"},
        {99, 100, "stage100.s3s"}, {65534, 65535, "stage65535.s3s"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StageFileName(c.stage, c.count), c.name) << c.stage << " of " << c.count;
}

StageStore StoreWith(const std::vector<StageRecord>& records)
{
    StageStore store;
    store.Reset(static_cast<int>(records.size()));
    for (size_t k = 0; k < records.size(); ++k)
        store.SetRecord(static_cast<int>(k), records[k]);
    return store;
}

// Properties sections an S3S file cannot state exactly, and plain ones.
std::vector<StageRecord> Records()
{
    const PropertiesSection sections[] = {
        {0x80, 0x00, 0x02, 0x00, 0x02, 0x00, 0x00, 0x40}, // Sonic 3 stage 1
        {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF}, // Sonic 3 stage 8: 65535 rings
        {0x20, 0x11, 0x05, 0x22, 0x06, 0x33, 0x01, 0x00}, // unknown angle, ignored bytes set
        {0xC0, 0x00, 0x31, 0x00, 0x40, 0x00, 0x04, 0x00}, // column and row off the grid
    };
    std::vector<StageRecord> records;
    unsigned seed = 40;
    for (const PropertiesSection& section : sections) {
        StageRecord record;
        record.cells = testdata::RandomGrid(seed++, 6);
        record.properties = section;
        records.push_back(record);
    }
    return records;
}

class StageExchangeVersion : public ::testing::TestWithParam<int> {};

TEST_P(StageExchangeVersion, ExportThenImportChangesNoByte)
{
    for (bool withStart : {true, false}) {
        StageStore store = StoreWith(Records());
        const Bytes before = store.Block();
        for (int k = 0; k < store.StageCount(); ++k) {
            Bytes file;
            std::string error;
            ASSERT_TRUE(ExportStage(store, k, withStart, GetParam(), file, error)) << error;
            EXPECT_EQ(file.size(), GetParam() == 1 ? 544u : 416u);
            S3SStage stage;
            ASSERT_TRUE(ReadStageFile(file, stage, error)) << error;
            EXPECT_EQ(stage.cells, store.Grid(k));
            ASSERT_TRUE(ImportStage(store, k, stage, withStart));
        }
        EXPECT_EQ(store.Block(), before) << "with start data: " << withStart;
    }
}

TEST_P(StageExchangeVersion, ChangedStartDataIsWrittenAsTheEditorWouldWriteIt)
{
    StageStore store = StoreWith(Records());
    Bytes file;
    std::string error;
    ASSERT_TRUE(ExportStage(store, 2, true, GetParam(), file, error));
    S3SStage stage;
    ASSERT_TRUE(ReadStageFile(file, stage, error));
    stage.trailer.rings = 300;
    stage.cells[33] = Yellow;
    ASSERT_TRUE(ImportStage(store, 2, stage, true));
    // The unknown angle reads as Up; the ignored bytes become 0.
    const PropertiesSection expected{0x00, 0x00, 0x05, 0x00, 0x06, 0x00, 0x01, 0x2C};
    EXPECT_EQ(store.Properties(2), expected);
    EXPECT_EQ(store.Grid(2)[33], Yellow);
}

INSTANTIATE_TEST_SUITE_P(BothVersions, StageExchangeVersion, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& param) {
                             return "Version" + std::to_string(param.param);
                         });

TEST(StageExchange, CellsAFileCannotCarryRefuseTheExport)
{
    StageRecord record;
    record.cells[100] = 8;
    StageStore store = StoreWith({record});
    Bytes file;
    std::string error;
    EXPECT_FALSE(ExportStage(store, 0, true, 2, file, error));
    EXPECT_NE(error.find("column 4, row 3"), std::string::npos) << error;
    EXPECT_TRUE(ExportStage(store, 0, true, 1, file, error)) << error;

    record.cells[100] = 16;
    store = StoreWith({record});
    EXPECT_FALSE(ExportStage(store, 0, true, 1, file, error));
    EXPECT_FALSE(ExportStage(store, 0, true, 3, file, error));
    EXPECT_FALSE(ExportStage(store, 1, true, 2, file, error)) << "no stage 2";
}

TEST(StageExchange, ImportRefusesFilesThatAreNotOneWholeStage)
{
    StageRecord record;
    record.cells = testdata::RandomGrid(3, 6);
    StageStore store = StoreWith({record});
    Bytes v1, v2;
    std::string error;
    ASSERT_TRUE(ExportStage(store, 0, true, 1, v1, error));
    ASSERT_TRUE(ExportStage(store, 0, true, 2, v2, error));

    Bytes withComment = v2;
    for (char c : std::string("a comment"))
        withComment.push_back(static_cast<uint8_t>(c));
    Bytes compilation(600, 0);
    std::copy_n(kS3SSignatureC, 16, compilation.begin());

    struct Case {
        const char* name;
        Bytes file;
        bool accepted;
    };
    const Case cases[] = {
        {"version 1.00", v1, true},
        {"version 2.00", v2, true},
        {"version 2.00 with a comment", withComment, true},
        {"version 1.00 one byte short", Bytes(v1.begin(), v1.end() - 1), false},
        {"version 2.00 cut after the grid", Bytes(v2.begin(), v2.begin() + 400), false},
        {"signature only", Bytes(v2.begin(), v2.begin() + 16), false},
        {"compilation", compilation, false},
        {"empty", Bytes{}, false},
        {"other data", Bytes(416, 0x41), false},
    };
    for (const Case& c : cases) {
        S3SStage stage;
        error.clear();
        EXPECT_EQ(ReadStageFile(c.file, stage, error), c.accepted) << c.name;
        if (c.accepted)
            EXPECT_EQ(stage.cells, record.cells) << c.name;
        else
            EXPECT_FALSE(error.empty()) << c.name;
    }
}

} // namespace
} // namespace zorp

// The template check of the default-templates window ("Browse...").
#include <gtest/gtest.h>

#include "rom/RomDefinitions.h"
#include "template/TemplateCheck.h"
#include "TemplateTestUtil.h"

namespace zorp {
namespace {

using test::Crlf;

// A small definitions table: two Sonic games.
const char* kDefinitions = "ZORP-II ROM DEFINITIONS FILE|\r\n"
                           "x|Sonic the Hedgehog|S1|title one|GM 00001009\r\n"
                           "x|Sonic the Hedgehog 2|S2|title two|GM 00001051\r\n";

class TemplateCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto load = ParseRomDefinitions(kDefinitions);
        ASSERT_TRUE(load.ok());
        table_ = std::move(load.table);
        lookup_ = LookupInDefinitions(table_);
    }

    TemplateCheckResult Check(const std::vector<std::string>& lines, const std::string& selected = "S1")
    {
        return CheckTemplateForGame(Crlf(lines), selected, lookup_);
    }

    RomDefinitions table_;
    GameLookup lookup_;
};

TEST_F(TemplateCheckTest, AcceptsATemplateForTheSelectedGame)
{
    auto result = Check({"ZORP-II FLEXIBLE PROGRAMMING FILE", "GAME: S1", "ZORP-II VERSION: 0.0.13", "MSGBOX"});
    EXPECT_EQ(result.outcome, TemplateCheckOutcome::Accepted);
    EXPECT_FALSE(result.message.has_value());
    // Comments are cut and case does not matter on any of the three lines.
    result = Check({"zorp-ii flexible programming file ; ours", "game: s1 ; Sonic 1", "zorp-ii version: 0.0.9"});
    EXPECT_EQ(result.outcome, TemplateCheckOutcome::Accepted);
    // A byte order mark written by a text editor is not part of line 1.
    result = Check({"\xEF\xBB\xBFZORP-II FLEXIBLE PROGRAMMING FILE", "GAME: S1", "ZORP-II VERSION: 0.0.13"});
    EXPECT_EQ(result.outcome, TemplateCheckOutcome::Accepted);
}

TEST_F(TemplateCheckTest, AcceptsATemplateForAGameTheTableDoesNotKnow)
{
    EXPECT_EQ(Check({"ZORP-II FLEXIBLE PROGRAMMING FILE", "GAME: S9", "ZORP-II VERSION: 0.0.13"}).outcome,
              TemplateCheckOutcome::Accepted);
    EXPECT_EQ(Check({"ZORP-II FLEXIBLE PROGRAMMING FILE", "GAME", "ZORP-II VERSION: 0.0.13"}).outcome,
              TemplateCheckOutcome::Accepted);
}

TEST_F(TemplateCheckTest, AsksWhenTheTemplateIsForAnotherKnownGame)
{
    auto result = Check({"ZORP-II FLEXIBLE PROGRAMMING FILE", "GAME: S1", "ZORP-II VERSION: 0.0.13"}, "S2");
    EXPECT_EQ(result.outcome, TemplateCheckOutcome::AskIncorrectGame);
    EXPECT_EQ(result.templateGameName, "Sonic the Hedgehog");
    EXPECT_EQ(result.selectedGameName, "Sonic the Hedgehog 2");
    ASSERT_TRUE(result.message.has_value());
    EXPECT_EQ(result.message->icon, MessageIcon::Question);
    EXPECT_EQ(result.message->title, "Incorrect Game");
    EXPECT_EQ(result.message->text(), "Warning: The selected template is designed for the game\n"
                                      "Sonic the Hedgehog, not Sonic the Hedgehog 2.\n"
                                      "Do you still want to use this template?");
}

TEST_F(TemplateCheckTest, RefusesFilesThatAreNotTemplates)
{
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"", "ZORP-II FLEXIBLE PROGRAMMING FILE", "GAME: S1", "ZORP-II VERSION: 0.0.13"},
        {"; comment first", "GAME: S1", "ZORP-II VERSION: 0.0.13"},
        {"ZORP-II FLEXIBLE PROGRAMMING FILE"},
        {"ZORP-II FLEXIBLE PROGRAMMING FILE", "GAME: S1"},
        // Pieces are compared untrimmed.
        {"ZORP-II FLEXIBLE PROGRAMMING FILE", "GAME: S1", "ZORP-II VERSION : 0.0.13"},
        {"ZORP-II FLEXIBLE PROGRAMMING FILE", "GAME : S1", "ZORP-II VERSION: 0.0.13"},
        {"ZORP-II FLEXIBLE PROGRAMMING FILE", "ZORP-II VERSION: 0.0.13", "GAME: S1"},
    };
    for (const auto& lines : cases) {
        auto result = Check(lines);
        EXPECT_EQ(result.outcome, TemplateCheckOutcome::Invalid) << Crlf(lines);
        ASSERT_TRUE(result.message.has_value());
        EXPECT_EQ(result.message->icon, MessageIcon::Critical);
        EXPECT_EQ(result.message->title, "Invalid Template");
        EXPECT_EQ(result.message->text(), "The selected file is not an ZORP-II template.");
    }
}

TEST_F(TemplateCheckTest, RefusesALaterVersionBeforeLookingAtTheGameLine)
{
    auto result = Check({"ZORP-II FLEXIBLE PROGRAMMING FILE", "NOT A GAME LINE", "ZORP-II VERSION: 0.0.99"});
    EXPECT_EQ(result.outcome, TemplateCheckOutcome::Outdated);
    ASSERT_TRUE(result.message.has_value());
    EXPECT_EQ(result.message->icon, MessageIcon::Critical);
    EXPECT_EQ(result.message->title, "Outdated Version");
    EXPECT_EQ(result.message->lines,
              (std::vector<std::string>{"The selected template file requires a later version of ZORP-II.", "",
                                        "Download the latest version of ZORP-II at the official webstie:",
                                        std::string(kOfficialWebsite) + " ."}));
    // A version that is not three numbers is not checked.
    EXPECT_EQ(Check({"ZORP-II FLEXIBLE PROGRAMMING FILE", "GAME: S1", "ZORP-II VERSION: new"}).outcome,
              TemplateCheckOutcome::Accepted);
}

TEST_F(TemplateCheckTest, RefusesSiblingFormatTemplates)
{
    auto result = Check({"ZORP .NET Template File ; theirs", "GAME: S1"});
    EXPECT_EQ(result.outcome, TemplateCheckOutcome::Net);
    ASSERT_TRUE(result.message.has_value());
    EXPECT_EQ(result.message->icon, MessageIcon::Critical);
    EXPECT_EQ(result.message->title, "ZORP .NET Template");
    EXPECT_EQ(result.message->lines,
              (std::vector<std::string>{"The selected file is an ZORP .NET template. This",
                                        "template requires ZORP .NET, which can be downloaded",
                                        std::string("at ") + kSiblingWebsite + " ."}));
}

TEST_F(TemplateCheckTest, UnreadableFileIsInvalid)
{
    auto result = CheckTemplateFileForGame("/nonexistent/S1.ZORP", "S1", lookup_);
    EXPECT_EQ(result.outcome, TemplateCheckOutcome::Invalid);
}

} // namespace
} // namespace zorp

#pragma once
// The block readers of the template commands. Each reads its block's lines up
// to ENDFRAME (or the end of the file) through a BlockReader, updates the
// settings and returns the action to take: its editor's set-up, a message
// (a MSGBOX box or the refusal of a block whose values cannot be used), or
// nothing.
#include <optional>
#include <string>
#include <vector>

#include "template/TemplateLines.h"
#include "template/TemplateReader.h"
#include "template/TemplateFit.h"
#include "template/TemplateSettings.h"

namespace zorp {

class BlockReader {
public:
    BlockReader(TemplateLines& lines, std::string command, int commandLine, std::string commandText);

    // The next line of the block. False at ENDFRAME or at the end of the file;
    // the block has ended then.
    bool Next(BlockLine& line);
    // The block ended because the file did.
    bool EndOfFile() const { return endOfFile_; }
    // Line number of the line Next() returned last.
    int LineNumber() const { return lines_.LineNumber(); }
    // Reads and drops the rest of the block.
    void SkipRest();

    // The block is refused at the line just read: the rest of the block is
    // skipped and the message names that line.
    Message Refuse(const BlockLine& line, const std::string& reason);
    // The block is refused as a whole (a key is missing): the message names
    // the command line.
    Message RefuseBlock(const std::string& reason);
    // A warning about a block that is still used; the reader shows it before
    // the block's action.
    void Warn(Message message) { warnings_.push_back(std::move(message)); }
    std::vector<Message>& Warnings() { return warnings_; }
    int CommandLine() const { return commandLine_; }
    const std::string& CommandText() const { return commandText_; }

private:
    TemplateLines& lines_;
    std::string command_;
    int commandLine_;
    std::string commandText_;
    bool ended_ = false;
    bool endOfFile_ = false;
    std::vector<Message> warnings_;
};

std::optional<TemplateAction> ReadLevelSelectBlock(BlockReader& reader, TemplateSettings& settings);
std::optional<TemplateAction> ReadPaletteBlock(BlockReader& reader, TemplateSettings& settings);
std::optional<TemplateAction> ReadPlaylistBlock(BlockReader& reader, TemplateSettings& settings);
std::optional<TemplateAction> ReadSpecialStageBlock(BlockReader& reader, TemplateSettings& settings);
std::optional<TemplateAction> ReadWavImporterBlock(BlockReader& reader, TemplateSettings& settings);
std::optional<TemplateAction> ReadMsgBoxBlock(BlockReader& reader, TemplateSettings& settings);
std::optional<TemplateAction> ReadS2SpecialStagesBlock(BlockReader& reader, TemplateSettings& settings);
std::optional<TemplateAction> ReadS2LevelSelectBlock(BlockReader& reader, TemplateSettings& settings);
std::optional<TemplateAction> ReadS1StagesBlock(BlockReader& reader, TemplateSettings& settings);
// FITS: fills fit; the refusal message when a line cannot be used.
std::optional<Message> ReadFitsBlock(BlockReader& reader, TemplateFit& fit);

// Shared checks of the block readers.
// A STARTADDR line: no effect when not a number; refused when negative.
// Returns the refusal reason, or "" when the line was taken (or had no effect).
std::string TakeStartAddress(const BlockLine& line, TemplateSettings& settings);

} // namespace zorp

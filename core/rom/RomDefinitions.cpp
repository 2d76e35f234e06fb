// The definitions table and its loader.
#include "rom/RomDefinitions.h"

#include "rom/Bytes.h"
#include "rom/PubFunctions.h"

namespace zorp {

namespace {

constexpr size_t kRecordFields = 5;

std::vector<std::string> SplitFields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t bar = line.find('|', start);
        if (bar == std::string::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, bar - start));
        start = bar + 1;
    }
}

// Splits at LF and drops one CR before it, so CRLF and LF files read alike.
std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t lf = text.find('\n', start);
        size_t end = lf == std::string_view::npos ? text.size() : lf;
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
        if (lf == std::string_view::npos)
            break;
        start = lf + 1;
    }
    return lines;
}

Message InvalidFileMessage(const std::string& problem)
{
    return Message{MessageIcon::Critical,
                   "Invalid ROM Definitions File",
                   {"Error: The ROM Definitions file (ROM_DEF.RDEF) is invalid.", problem, "",
                    "Please re-download ZORP-II from the official website:", kOfficialWebsite}};
}

RomDefinitionsLoad Failed(Message message)
{
    RomDefinitionsLoad load;
    load.error = std::move(message);
    return load;
}

} // namespace

const RomDefinitionRecord* RomDefinitions::find(const std::string& id) const
{
    auto it = index_.find(UpperAscii(id));
    return it == index_.end() ? nullptr : &records_[it->second];
}

bool RomDefinitions::add(RomDefinitionRecord record)
{
    if (record.fields.size() < kRecordFields)
        return false;
    std::string key = UpperAscii(record.gameId());
    if (index_.count(key))
        return false;
    index_.emplace(std::move(key), records_.size());
    records_.push_back(std::move(record));
    return true;
}

Message RomDefinitionsNotFoundMessage()
{
    return Message{MessageIcon::Critical,
                   "ROM Definitions File Not Found",
                   {"Error: ROM Definitions file (ROM_DEF.RDEF) not found.",
                    "Please re-download ZORP-II from the official website:", "", kOfficialWebsite}};
}

RomDefinitionsLoad ParseRomDefinitions(std::string_view text)
{
    if (text.size() > kMaxRomDefinitionsSize)
        return Failed(InvalidFileMessage("The file is larger than " +
                                         std::to_string(kMaxRomDefinitionsSize / 1024) + " KB."));
    // A byte-order mark left by a text editor is not part of the signature.
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);

    std::vector<std::string> lines = SplitLines(text);
    if (lines.empty())
        return Failed(RomDefinitionsNotFoundMessage());
    const std::string& header = lines.front();
    if (header.find('|') == std::string::npos ||
        UpperAscii(TrimSpaces(SplitFields(header).front())) != kRomDefinitionsSignature)
        return Failed(RomDefinitionsNotFoundMessage());

    RomDefinitionsLoad load;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (TrimSpaces(line).empty())
            continue;
        const int lineNumber = static_cast<int>(i + 1);
        const std::string where = "Line " + std::to_string(lineNumber) + ": ";
        RomDefinitionRecord record{line, SplitFields(line), lineNumber, {}};
        if (record.fields.size() < kRecordFields)
            return Failed(InvalidFileMessage(where + "a record needs five fields separated by \"|\"."));
        const std::string id = TrimSpaces(record.gameId());
        if (id.empty())
            return Failed(InvalidFileMessage(where + "the game identifier (third field) is empty."));
        // "U" is what an unrecognised ROM identifies as; a record keyed so
        // would make unknown ROMs look known.
        if (UpperAscii(id) == kGameIdUnknown)
            return Failed(InvalidFileMessage(where + "\"U\" is reserved for unrecognised ROMs."));
        if (record.fields.size() > kRecordFields && IsRevisionsField(record.fields[kRecordFields])) {
            RevisionRulesParse revisions = ParseRevisionRules(record.fields[kRecordFields]);
            if (!revisions.error.empty())
                return Failed(InvalidFileMessage(where + revisions.error));
            record.revisions = std::move(revisions.rules);
        }
        if (const RomDefinitionRecord* first = load.table.find(record.gameId()))
            return Failed(InvalidFileMessage(where + "the game identifier \"" + record.gameId() +
                                             "\" was already defined on line " +
                                             std::to_string(first->lineNumber) + "."));
        load.table.add(std::move(record));
    }
    return load;
}

RomDefinitionsLoad LoadRomDefinitionsFile(const std::string& path)
{
    auto size = FileSize(path);
    if (!size)
        return Failed(RomDefinitionsNotFoundMessage());
    if (*size > kMaxRomDefinitionsSize)
        return Failed(InvalidFileMessage("The file is larger than " +
                                         std::to_string(kMaxRomDefinitionsSize / 1024) + " KB."));
    auto bytes = ReadFileBytes(path, kMaxRomDefinitionsSize);
    if (!bytes)
        return Failed(RomDefinitionsNotFoundMessage());
    return ParseRomDefinitions(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
}

RomDefinitionsLoad LoadRomDefinitions() { return LoadRomDefinitionsFile(AppFilePath(kRomDefinitionsFileName)); }

} // namespace zorp

#pragma once
// The ROM definitions table ("ROM_DEF.RDEF") and game identification.
//
// The definitions file is a text file of "|"-separated records. Its first line
// carries the signature; every later non-blank line is a record:
//   0 free text | 1 display name | 2 game identifier | 3 title | 4 serial
//   [| 5 "REVISIONS: ..." (see rom/Revisions.h)]
// A record matches a ROM when field 3 equals the ROM's title text exactly and
// field 4, trimmed, equals the ROM's serial text, trimmed. Identifiers are
// unique without regard to case.
//
// Loading never ends the process and never touches a table in use: it builds a
// new table or returns the message to show; the caller swaps the table in.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "rom/Bytes.h"
#include "rom/Message.h"
#include "rom/Revisions.h"

namespace zorp {

inline constexpr const char* kRomDefinitionsFileName = "ROM_DEF.RDEF";
inline constexpr const char* kRomDefinitionsSignature = "ZORP-II ROM DEFINITIONS FILE";
// A real definitions file is a few kilobytes; anything past this is not one.
inline constexpr uint64_t kMaxRomDefinitionsSize = 1u << 20;

// Game identifiers the program itself produces or tests.
inline constexpr const char* kGameIdUnknown = "U";
inline constexpr const char* kGameIdSK = "S&K";
inline constexpr const char* kGameIdS1 = "S1";
inline constexpr const char* kGameIdS1J = "S1_J";
inline constexpr const char* kGameIdS2 = "S2";
inline constexpr const char* kGameIdS2v154 = "S2v1.54";
inline constexpr const char* kGameIdS3 = "S3";
inline constexpr const char* kGameIdS1K = "S1_K";
inline constexpr const char* kGameIdS2K = "S2_K";
inline constexpr const char* kGameIdS3K = "S3_K";
inline constexpr const char* kGameIdSKOther = "SO";
inline constexpr const char* kGameIdS3S = "S3S";

// A Sonic & Knuckles image longer than this carries a second cartridge.
inline constexpr uint64_t kLockOnBase = 0x200000;

// One record line of the definitions file.
struct RomDefinitionRecord {
    std::string line;                // the whole line as read, untrimmed, without its line end
    std::vector<std::string> fields; // line split at '|' (at least five)
    int lineNumber = 0;              // 1-based line in the file
    std::vector<RevisionRule> revisions; // from field 5 when it is a revisions list

    const std::string& displayName() const { return fields[1]; }
    const std::string& gameId() const { return fields[2]; }
    const std::string& titleText() const { return fields[3]; }
    const std::string& serialText() const { return fields[4]; }
};

// The in-memory table: records in file order, keyed by field 2 without regard
// to case.
class RomDefinitions {
public:
    const std::vector<RomDefinitionRecord>& records() const { return records_; }
    size_t size() const { return records_.size(); }
    bool empty() const { return records_.empty(); }

    // The record keyed by id (compared without regard to case), or nullptr.
    const RomDefinitionRecord* find(const std::string& id) const;
    bool contains(const std::string& id) const { return find(id) != nullptr; }

    // Appends a record; false (table unchanged) when its identifier is
    // already present or the record has fewer than five fields.
    bool add(RomDefinitionRecord record);

private:
    std::vector<RomDefinitionRecord> records_;
    std::unordered_map<std::string, size_t> index_; // upper-cased key -> position
};

// Outcome of a load: the new table, or the message to show (table then empty).
struct RomDefinitionsLoad {
    RomDefinitions table;
    std::optional<Message> error;
    bool ok() const { return !error.has_value(); }
};

// The message for a missing, empty or wrongly signed definitions file
// (critical, "ROM Definitions File Not Found").
Message RomDefinitionsNotFoundMessage();

// Parses the text of a definitions file (its bytes; CRLF or LF line ends).
// Refuses a text over kMaxRomDefinitionsSize, a bad first line (the
// not-found message), a record with fewer than five fields, an empty or
// repeated identifier (messages titled "Invalid ROM Definitions File" naming
// the line).
RomDefinitionsLoad ParseRomDefinitions(std::string_view text);

// Reads and parses the file at path.
RomDefinitionsLoad LoadRomDefinitionsFile(const std::string& path);

// Reads and parses AppFilePath("ROM_DEF.RDEF").
RomDefinitionsLoad LoadRomDefinitions();

// The identifier of the first record (table order) whose title field equals
// title exactly and whose serial field, trimmed, equals serial, trimmed;
// "U" when none does.
std::string LookupGameId(const RomDefinitions& table, const std::string& serial, const std::string& title);

// "S&K" on an image longer than 2 MiB becomes the lock-on variant of the
// cartridge at 0x200000: "S1_K" (S1, S1_J), "S2_K", "S3_K", else "SO". Any
// other identifier is returned unchanged.
std::string ResolveLockOnId(const RomDefinitions& table, const std::string& id, const std::string& romPath);

// Field 1 of the record keyed by id (any case); "Unknown" when absent.
std::string GameDisplayName(const RomDefinitions& table, const std::string& id);

// What the last three characters of a ROM file name (upper-cased) say it is.
enum class RomKind {
    Genesis,        // "BIN", "GEN", "32X"
    MasterSystem,   // ".GG", "SMS" (Game Gear and Master System)
    GameBoyAdvance, // "GBA"
    SpecialStage,   // "S3S": not looked up; the caller decides by s3sKind
    Unsupported,    // anything else
};
RomKind RomKindOfPath(const std::string& romPath);

struct RomIdentification {
    RomKind kind = RomKind::Unsupported;
    // The game identifier ("U" when unrecognised or unreadable). For a
    // special stage file: "S3S" when s3sKind is 1 or 2, otherwise "U".
    std::string gameId = kGameIdUnknown;
    // Special stage files only: S3SFileKind of the file (0, 1, 2, 52428).
    int32_t s3sKind = 0;
    // The texts compared with fields 3 and 4 (empty for special stages).
    std::string title;
    std::string serial;
    // The revision named by the record's revisions list ("REV00"); empty when
    // the record lists none or none holds. For the lock-on identifiers: the
    // identifier and revision of the cartridge at 0x200000.
    std::string revision;
    std::string lockedOnId;
    std::string lockedOnRevision;
};

// "Sonic the Hedgehog 2 REV00"; a lock-on image names both cartridges:
// "Sonic 2 & Knuckles (Sonic & Knuckles REV00 + Sonic the Hedgehog 2 REV02)".
std::string DescribeGame(const RomDefinitions& table, const RomIdentification& identity);

// Identifies a ROM file the way the main menu does: Genesis header (then
// ResolveLockOnId), Master System / Game Gear product code as upper-case hex
// without leading zeros, Game Boy Advance 16 characters at 0xA0. A file that
// cannot be read identifies as "U".
RomIdentification IdentifyRom(const RomDefinitions& table, const std::string& romPath);

// The same on a file already read (kind from its name, image its bytes).
RomIdentification IdentifyRomImage(const RomDefinitions& table, RomKind kind, const Bytes& image);

// Largest file identification reads whole; a larger one identifies as "U".
inline constexpr uint64_t kMaxIdentifiedRomSize = 64ull << 20;

} // namespace zorp

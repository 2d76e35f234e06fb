#pragma once
// Revisions of one game: images that share the title and the 11-character
// serial the definitions table matches on, but keep their data at different
// offsets (Sonic 2 REV00/REV01/REV02, Sonic 1 REV01/REVXB). A definitions
// record may carry a sixth field listing its revisions:
//
//   REVISIONS: REV00=GM 00001051-00; REV01=GM 00001051-01
//
// Each entry names a revision and the 14-character serial at 0x180 of its
// header, optionally followed by "@OFFSET=HEX BYTES" that must also be present
// (for revisions whose header serial is the same). The first entry that holds
// for an image names its revision. A record without the field has no revisions
// and identifies exactly as before.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rom/Bytes.h"

namespace zorp {

inline constexpr const char* kRevisionsPrefix = "REVISIONS:";
// The full serial field of a Genesis header (0x180..0x18D).
inline constexpr uint64_t kFullSerialLength = 14;

struct RevisionRule {
    std::string name;   // "REV00"
    std::string serial; // the 14-character serial, compared without trailing spaces
    std::optional<uint64_t> offset; // optional extra bytes at this offset of the header's cartridge
    Bytes bytes;
};

struct RevisionRulesParse {
    std::vector<RevisionRule> rules;
    std::string error; // empty when the field was read
};

// True when a record field is a revisions list (starts with "REVISIONS:",
// any case); any other sixth field is free text.
bool IsRevisionsField(std::string_view field);

// Reads the text after "REVISIONS:". Empty names, serials over 14 characters,
// bad offsets or hex bytes, or more than 64 entries are refused with a reason.
RevisionRulesParse ParseRevisionRules(std::string_view field);

// The name of the first rule that holds for the cartridge whose header starts
// at base in image; empty when none does (or there are no rules).
std::string MatchRevision(const std::vector<RevisionRule>& rules, const Bytes& image, uint64_t base);

} // namespace zorp

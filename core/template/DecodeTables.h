#pragma once
// The built-in character decode tables of the level select editor. The
// character at position c of a table's text is the character for code c; "|"
// fills codes that have no character of their own. A character the table does
// not hold is written as the table's fill code.
#include <cstdint>
#include <string>
#include <vector>

namespace zorp {

struct DecodeTable {
    std::string name;
    std::string characters; // byte string: "S3" holds the copyright sign as 0xA9
    uint8_t fillCode = 0;
};

// The four tables, in search order: "S1", "S3", "S3D", "C++".
const std::vector<DecodeTable>& BuiltInDecodeTables();

// The table of that exact (case-sensitive) name, or nullptr.
const DecodeTable* FindDecodeTable(const std::string& name);

// The table whose names keep their letter case.
inline constexpr const char* kCaseKeepingTable = "C++";

} // namespace zorp

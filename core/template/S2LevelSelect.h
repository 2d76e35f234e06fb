#pragma once
// Sonic 2's level select screen: a 40 x 28 plane map (decoded from Enigma by
// the caller) in which the zone names are written with the font's tiles, the
// table that tells where each of the 22 menu entries is highlighted, and the
// order table that says which zone and act each entry starts.
//
// The editor shows one row per name on the screen (a zone name serves all of
// its acts) and writes the names back into the map cell by cell: a name may
// use the letters the font has, and fills its field on the screen (up to the
// act digit, the next name of the row, or the row's end). The game highlights
// only 14 tiles from a name's start, so a longer name is allowed but warned
// about.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rom/Bytes.h"

namespace zorp {

inline constexpr int kS2LevelSelectColumns = 40;
inline constexpr int kS2LevelSelectRows = 28;
inline constexpr size_t kS2LevelSelectMapBytes = 2 * kS2LevelSelectColumns * kS2LevelSelectRows; // 2240
inline constexpr int kS2LevelSelectEntries = 22;
inline constexpr size_t kS2LevelSelectMarkBytes = 4 * kS2LevelSelectEntries;
inline constexpr size_t kS2LevelSelectOrderBytes = 2 * kS2LevelSelectEntries;
inline constexpr int kS2HighlightTiles = 14;
inline constexpr uint16_t kS2BlankCell = 0x4000; // tile 0, palette line 2
inline constexpr uint16_t kS2SpecialStageEntry = 0x4000;
inline constexpr uint16_t kS2SoundTestEntry = 0xFFFF;

// The font's letters: "0"-"9", "*", "©", ":", ".", "A"-"Z" and the space.
// Lower-case letters are taken as upper-case.
std::optional<uint16_t> S2LevelSelectCell(char32_t letter);
// The letter a cell shows, or nullopt for a cell that is no letter (the
// frame, a letter with another palette).
std::optional<char32_t> S2LevelSelectLetter(uint16_t cell);

// Where the game highlights one entry (as its mark table stores it: row,
// 2 x column of the name, row, 2 x column of the act digit; 0, 0 = no digit).
struct S2LevelSelectMark {
    int nameRow = 0;
    int nameColumn = 0;
    int digitRow = 0;
    int digitColumn = 0;
    bool hasDigit() const { return digitRow != 0 || digitColumn != 0; }
};

// One name on the screen and the entries that highlight it.
struct S2LevelSelectName {
    int row = 0;
    int column = 0;
    int end = 0; // one past the last column of the name's field
    std::vector<int> entries;
    int fieldLength() const { return end - column; }
};

// "Emerald Hill act 1", "Special Stage", "Sound Test"; "zone 0x01 act 1" for
// a zone without a name; the word in hex for anything else.
std::string S2DestinationName(uint16_t order);
// The destinations the editor offers: every zone's two acts, the special
// stage and the sound test.
const std::vector<uint16_t>& S2Destinations();

class S2LevelSelect {
public:
    struct Read;
    // The decoded map (2240 bytes), the mark table (88 bytes) and the order
    // table (44 bytes). A mark outside the map or on no letter is refused.
    static Read FromBytes(const Bytes& map, const Bytes& marks, const Bytes& order);

    const std::vector<S2LevelSelectName>& Names() const { return names_; }
    const std::vector<S2LevelSelectMark>& Marks() const { return marks_; }
    // The name as text, trailing spaces left out; a cell that is no letter
    // shows as "?".
    std::string NameText(size_t name) const;
    // The name's text is longer than the highlight.
    bool LongerThanHighlight(size_t name) const;
    // Writes a name into its field (the rest of the field becomes blank).
    // Refused, with the reason, when a letter is not in the font or the text
    // is longer than the field; the map is then unchanged.
    std::string SetNameText(size_t name, std::string_view text);

    uint16_t Order(size_t entry) const { return order_[entry]; }
    void SetOrder(size_t entry, uint16_t value) { order_[entry] = value; }
    // The name an entry highlights (index into Names()).
    size_t NameOfEntry(size_t entry) const { return entryName_[entry]; }

    uint16_t Cell(int row, int column) const { return map_[static_cast<size_t>(row * kS2LevelSelectColumns + column)]; }
    Bytes MapBytes() const;
    Bytes OrderBytes() const;

    // One line per name longer than the highlight.
    std::vector<std::string> Warnings() const;

private:
    std::vector<uint16_t> map_;
    std::vector<S2LevelSelectMark> marks_;
    std::vector<uint16_t> order_;
    std::vector<S2LevelSelectName> names_;
    std::vector<size_t> entryName_;
};

struct S2LevelSelect::Read {
    S2LevelSelect model;
    std::string error;
    bool ok() const { return error.empty(); }
};

} // namespace zorp

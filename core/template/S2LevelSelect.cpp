#include "template/S2LevelSelect.h"

#include <algorithm>
#include <array>

namespace zorp {

namespace {

constexpr char32_t kCopyright = 0xA9;
constexpr uint16_t kStarCell = 0x1A;

// The zone names by zone ID (empty: a zone the game does not use).
constexpr std::array<const char*, 17> kZoneNames = {
    "Emerald Hill", "", "", "", "Metropolis", "Metropolis", "Wing Fortress", "Hill Top", "", "",
    "Oil Ocean", "Mystic Cave", "Casino Night", "Chemical Plant", "Death Egg", "Aquatic Ruin", "Sky Chase"};

// UTF-8 to code points; nullopt for a malformed text.
std::optional<std::u32string> CodePoints(std::string_view text)
{
    std::u32string out;
    for (size_t i = 0; i < text.size();) {
        auto byte = static_cast<uint8_t>(text[i]);
        int extra = byte < 0x80 ? 0 : (byte & 0xE0) == 0xC0 ? 1 : (byte & 0xF0) == 0xE0 ? 2 : (byte & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0 || text.size() - i <= static_cast<size_t>(extra))
            return std::nullopt;
        char32_t c = extra == 0 ? byte : byte & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            auto next = static_cast<uint8_t>(text[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            c = c << 6 | (next & 0x3F);
        }
        out.push_back(c);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Hex(uint32_t value, int digits)
{
    static const char* kHex = "0123456789ABCDEF";
    std::string out = "0x";
    for (int i = digits - 1; i >= 0; --i)
        out += kHex[(value >> (4 * i)) & 15];
    return out;
}

} // namespace

std::optional<uint16_t> S2LevelSelectCell(char32_t letter)
{
    if (letter >= 'a' && letter <= 'z')
        letter -= 'a' - 'A';
    if (letter == ' ')
        return kS2BlankCell;
    if (letter >= '0' && letter <= '9')
        return static_cast<uint16_t>(0x10 + (letter - '0'));
    if (letter >= 'A' && letter <= 'Z')
        return static_cast<uint16_t>(0x1E + (letter - 'A'));
    switch (letter) {
    case '*': return uint16_t{0x1A};
    case kCopyright: return uint16_t{0x1B};
    case ':': return uint16_t{0x1C};
    case '.': return uint16_t{0x1D};
    }
    return std::nullopt;
}

std::optional<char32_t> S2LevelSelectLetter(uint16_t cell)
{
    if (cell == kS2BlankCell)
        return U' ';
    if (cell >= 0x10 && cell <= 0x19)
        return static_cast<char32_t>('0' + (cell - 0x10));
    if (cell >= 0x1E && cell <= 0x37)
        return static_cast<char32_t>('A' + (cell - 0x1E));
    switch (cell) {
    case 0x1A: return U'*';
    case 0x1B: return kCopyright;
    case 0x1C: return U':';
    case 0x1D: return U'.';
    }
    return std::nullopt;
}

std::string S2DestinationName(uint16_t order)
{
    if (order == kS2SpecialStageEntry)
        return "Special Stage";
    if (order == kS2SoundTestEntry)
        return "Sound Test";
    unsigned zone = order >> 8;
    unsigned act = order & 0xFF;
    if (zone < kZoneNames.size() && act < 4) {
        std::string name = kZoneNames[zone];
        if (name.empty())
            name = "zone " + Hex(zone, 2);
        // Zone 0x05 is Metropolis' third act under a zone number of its own.
        return name + " act " + std::to_string(act + (zone == 5 ? 3 : 1));
    }
    return Hex(order, 4);
}

const std::vector<uint16_t>& S2Destinations()
{
    static const std::vector<uint16_t> kList = [] {
        std::vector<uint16_t> list;
        for (uint16_t zone = 0; zone < kZoneNames.size(); ++zone)
            for (uint16_t act = 0; act < 2; ++act)
                list.push_back(static_cast<uint16_t>(zone << 8 | act));
        list.push_back(kS2SpecialStageEntry);
        list.push_back(kS2SoundTestEntry);
        return list;
    }();
    return kList;
}

S2LevelSelect::Read S2LevelSelect::FromBytes(const Bytes& map, const Bytes& marks, const Bytes& order)
{
    Read read;
    if (map.size() != kS2LevelSelectMapBytes) {
        read.error = "The level select map decodes to " + std::to_string(map.size()) + " bytes instead of " +
                     std::to_string(kS2LevelSelectMapBytes) + " (40 x 28 cells).";
        return read;
    }
    if (marks.size() < kS2LevelSelectMarkBytes || order.size() < kS2LevelSelectOrderBytes) {
        read.error = "The level select's mark or order table lies past the end of the ROM.";
        return read;
    }
    S2LevelSelect& model = read.model;
    for (size_t i = 0; i < map.size(); i += 2)
        model.map_.push_back(static_cast<uint16_t>(map[i] << 8 | map[i + 1]));
    for (size_t i = 0; i < kS2LevelSelectEntries; ++i)
        model.order_.push_back(static_cast<uint16_t>(order[2 * i] << 8 | order[2 * i + 1]));

    for (size_t e = 0; e < kS2LevelSelectEntries; ++e) {
        const uint8_t* m = &marks[4 * e];
        S2LevelSelectMark mark{m[0], m[1] / 2, m[2], m[3] / 2};
        bool bad = mark.nameRow >= kS2LevelSelectRows || mark.nameColumn >= kS2LevelSelectColumns || (m[1] & 1) ||
                   (mark.hasDigit() && (mark.digitRow >= kS2LevelSelectRows ||
                                        mark.digitColumn >= kS2LevelSelectColumns || (m[3] & 1)));
        if (bad) {
            read.error = "The level select's mark table places entry " + std::to_string(e + 1) + " outside the screen.";
            return read;
        }
        model.marks_.push_back(mark);
        auto same = std::find_if(model.names_.begin(), model.names_.end(), [&](const S2LevelSelectName& n) {
            return n.row == mark.nameRow && n.column == mark.nameColumn;
        });
        if (same == model.names_.end()) {
            model.names_.push_back({mark.nameRow, mark.nameColumn, kS2LevelSelectColumns, {}});
            same = model.names_.end() - 1;
        }
        same->entries.push_back(static_cast<int>(e));
        model.entryName_.push_back(static_cast<size_t>(same - model.names_.begin()));
    }

    // A field ends at the next name or act digit of its row, or where the
    // sound test's frame ("*00*", whose digits the game draws) begins.
    for (S2LevelSelectName& name : model.names_) {
        for (const S2LevelSelectName& other : model.names_)
            if (other.row == name.row && other.column > name.column)
                name.end = std::min(name.end, other.column);
        for (const S2LevelSelectMark& mark : model.marks_)
            if (mark.hasDigit() && mark.digitRow == name.row && mark.digitColumn > name.column)
                name.end = std::min(name.end, mark.digitColumn);
        for (int c = name.column; c < name.end; ++c)
            if (model.Cell(name.row, c) == kStarCell) {
                name.end = c;
                break;
            }
    }
    return read;
}

std::string S2LevelSelect::NameText(size_t index) const
{
    const S2LevelSelectName& name = names_[index];
    std::string text;
    size_t kept = 0;
    for (int c = name.column; c < name.end; ++c) {
        auto letter = S2LevelSelectLetter(Cell(name.row, c));
        AppendUtf8(text, letter.value_or(U'?'));
        if (letter != U' ')
            kept = text.size();
    }
    text.resize(kept);
    return text;
}

bool S2LevelSelect::LongerThanHighlight(size_t index) const
{
    auto points = CodePoints(NameText(index));
    return points && points->size() > static_cast<size_t>(kS2HighlightTiles);
}

std::string S2LevelSelect::SetNameText(size_t index, std::string_view text)
{
    const S2LevelSelectName& name = names_[index];
    auto points = CodePoints(text);
    if (!points)
        return "The name is not valid text.";
    while (!points->empty() && points->back() == U' ')
        points->pop_back();
    if (points->size() > static_cast<size_t>(name.fieldLength()))
        return "The name has " + std::to_string(points->size()) + " letters, but its place on the screen holds " +
               std::to_string(name.fieldLength()) + ".";
    std::vector<uint16_t> cells;
    for (char32_t c : *points) {
        auto cell = S2LevelSelectCell(c);
        if (!cell) {
            std::string shown;
            AppendUtf8(shown, c < 0x800 ? c : U'?');
            return "The level select font has no \"" + shown +
                   "\": use A-Z, 0-9, space and the signs * \u00A9 : .";
        }
        cells.push_back(*cell);
    }
    cells.resize(static_cast<size_t>(name.fieldLength()), kS2BlankCell);
    for (int c = name.column; c < name.end; ++c)
        map_[static_cast<size_t>(name.row * kS2LevelSelectColumns + c)] = cells[static_cast<size_t>(c - name.column)];
    return {};
}

Bytes S2LevelSelect::MapBytes() const
{
    Bytes out;
    out.reserve(map_.size() * 2);
    for (uint16_t word : map_) {
        out.push_back(static_cast<uint8_t>(word >> 8));
        out.push_back(static_cast<uint8_t>(word));
    }
    return out;
}

Bytes S2LevelSelect::OrderBytes() const
{
    Bytes out;
    for (uint16_t word : order_) {
        out.push_back(static_cast<uint8_t>(word >> 8));
        out.push_back(static_cast<uint8_t>(word));
    }
    return out;
}

std::vector<std::string> S2LevelSelect::Warnings() const
{
    std::vector<std::string> warnings;
    for (size_t i = 0; i < names_.size(); ++i)
        if (LongerThanHighlight(i))
            warnings.push_back("\"" + NameText(i) + "\" is longer than the " + std::to_string(kS2HighlightTiles) +
                               " tiles the game highlights.");
    return warnings;
}

} // namespace zorp

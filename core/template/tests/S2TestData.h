#pragma once
// Sonic 2 data for the tests: the real level select map and the tables the
// game keeps beside it, as the game data facts give them.
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "rom/Bytes.h"

namespace zorp::s2test {

inline std::optional<Bytes> ReadCorpusFile(const std::string& relative)
{
    std::ifstream in(std::string(ZORP_CORPUS_DIR) + "/" + relative, std::ios::binary);
    if (!in)
        return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The decoded level select plane map (2240 bytes).
inline std::optional<Bytes> LevelSelectMap() { return ReadCorpusFile("enigma/s2__mappings__misc__Level_Select.eni.dec"); }

// The highlight positions of the 22 entries: row, 2 x column of the name,
// row, 2 x column of the act digit (0, 0: none).
inline Bytes MarkTable()
{
    Bytes marks;
    auto add = [&](int row, int column, int digitRow, int digitColumn) {
        marks.insert(marks.end(), {static_cast<uint8_t>(row), static_cast<uint8_t>(2 * column),
                                   static_cast<uint8_t>(digitRow), static_cast<uint8_t>(2 * digitColumn)});
    };
    for (int row : {3, 6, 9, 12, 15, 18, 21}) {
        add(row, 3, row, 18);
        add(row, 3, row + 1, 18);
    }
    for (int act = 0; act < 3; ++act)
        add(3, 22, 3 + act, 36);
    for (int row : {6, 9, 12, 15, 18})
        add(row, 22, 0, 0);
    return marks;
}

inline Bytes OrderTable()
{
    return {0x00, 0x00, 0x00, 0x01, 0x0D, 0x00, 0x0D, 0x01, 0x0F, 0x00, 0x0F, 0x01, 0x0C, 0x00, 0x0C, 0x01,
            0x07, 0x00, 0x07, 0x01, 0x0B, 0x00, 0x0B, 0x01, 0x0A, 0x00, 0x0A, 0x01, 0x04, 0x00, 0x04, 0x01,
            0x05, 0x00, 0x10, 0x00, 0x06, 0x00, 0x0E, 0x00, 0x40, 0x00, 0xFF, 0xFF};
}

} // namespace zorp::s2test

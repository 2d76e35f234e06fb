#pragma once
// Sonic 2 data for the tests: the real level select map and the tables the
// game keeps beside it, as the game data facts give them.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>

#include "rom/Bytes.h"
#include "template/EditorSetups.h"

namespace zorp::s2test {

inline std::optional<Bytes> ReadCorpusFile(const std::string& relative)
{
    std::ifstream in(std::string(ZORP_CORPUS_DIR) + "/" + relative, std::ios::binary);
    if (!in)
        return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A file in the temporary folder, removed at the end of the test.
struct ScratchFile {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("zorp-s2-" + std::to_string(reinterpret_cast<uintptr_t>(this)) + ".bin"))
                           .string();
    ~ScratchFile() { std::filesystem::remove(path); }
};

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

// Where one revision keeps what the editors read (game data facts §2-3).
struct Revision {
    const char* name;
    char serialDigit;
    uint32_t layoutLea, objectLea, levelSelectLea;
    uint32_t team, alone, marks, order, map;
};

inline const Revision kRevisions[] = {
    {"REV00", '0', 0x6D28, 0x6D36, 0x92F0, 0x774A, 0x7766, 0x96E2, 0x9448, 0x9AD2},
    {"REV01", '1', 0x6D34, 0x6D42, 0x92FC, 0x7756, 0x7772, 0x96EE, 0x9454, 0x9ADE},
    {"REV02", '2', 0x6D08, 0x6D16, 0x92CC, 0x773C, 0x7758, 0x96CC, 0x942C, 0x9AC6},
};

inline constexpr uint32_t kLayouts = 0x0E34EE;
inline constexpr uint32_t kObjects = 0x0E35F2;
inline constexpr uint32_t kPerspective = 0x0E24FE;

inline S2SpecialStageSetup StagesSetup(const Revision& r)
{
    return {{int32_t{kLayouts}, 260, static_cast<int32_t>(r.layoutLea + 2)},
            {int32_t{kObjects}, 3342, static_cast<int32_t>(r.objectLea + 2)},
            static_cast<int32_t>(r.team), static_cast<int32_t>(r.alone), {}};
}

inline S2LevelSelectSetup LevelsSetup(const Revision& r)
{
    return {{static_cast<int32_t>(r.map), 340, static_cast<int32_t>(r.levelSelectLea + 2)},
            static_cast<int32_t>(r.marks), static_cast<int32_t>(r.order), {}};
}

// A 1 MiB image laid out as the revision is: pseudo-random bytes stand for
// the other data; the header, the loading instructions, the tables and the
// real streams lie at their offsets, the 126 zero bytes after the object
// lists too. nullopt when the corpus is missing.
inline std::optional<Bytes> Image(const Revision& r)
{
    auto layouts = ReadCorpusFile("stages/s2-ss-layouts.nem");
    auto objects = ReadCorpusFile("stages/s2-ss-objects.kos");
    auto perspective = ReadCorpusFile("stages/s2-ss-perspective.kos");
    auto map = ReadCorpusFile("stages/s2-level-select.eni");
    if (!layouts || !objects || !perspective || !map)
        return std::nullopt;
    Bytes image(0x100000);
    std::mt19937 rng(0x5200u + static_cast<unsigned>(r.serialDigit));
    for (uint8_t& b : image)
        b = static_cast<uint8_t>(rng());
    auto put = [&](size_t at, const Bytes& bytes) { std::copy(bytes.begin(), bytes.end(), image.begin() + at); };
    auto text = [&](size_t at, const std::string& t) { std::copy(t.begin(), t.end(), image.begin() + at); };
    auto lea = [&](uint32_t at, uint32_t address) {
        put(at, {0x41, 0xF9, static_cast<uint8_t>(address >> 24), static_cast<uint8_t>(address >> 16),
                 static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address)});
    };
    text(0x100, "SEGA GENESIS    ");
    text(0x120, "SONIC THE             HEDGEHOG 2                ");
    text(0x150, "SONIC THE             HEDGEHOG 2                ");
    text(0x180, std::string("GM 00001051-0") + r.serialDigit);
    put(0x1A0, {0x00, 0x00, 0x00, 0x00, 0x00, 0x0F, 0xFF, 0xFF});
    lea(r.layoutLea, kLayouts);
    lea(r.objectLea, kObjects);
    lea(r.levelSelectLea, r.map);
    const Bytes team = {40, 80, 140, 120, 50, 100, 140, 150, 60, 110, 160, 170, 40, 100,
                        150, 160, 55, 110, 200, 200, 80, 140, 220, 220, 100, 190, 210, 210};
    const Bytes alone = {30, 70, 130, 110, 50, 100, 140, 140, 50, 110, 160, 160, 40, 110,
                         150, 150, 50, 90, 160, 160, 80, 140, 210, 210, 100, 150, 190, 190};
    put(r.team, team);
    put(r.alone, alone);
    put(r.marks, MarkTable());
    put(r.order, OrderTable());
    put(kPerspective, *perspective);
    put(kLayouts, *layouts);
    put(kObjects, *objects);
    put(kObjects + objects->size(), Bytes(126, 0));
    put(r.map, *map);
    return image;
}

} // namespace zorp::s2test

#pragma once
// Helpers shared by the stage tests: grids with recognisable contents and the
// real special stage block from the corpus.
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "stage/SpecialStage.h"

namespace zorp::testdata {

// Every cell a code below `codes`, from a fixed seed so failures repeat.
inline StageGrid RandomGrid(unsigned seed, int codes)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> pick(0, codes - 1);
    StageGrid grid{};
    for (uint8_t& cell : grid)
        cell = static_cast<uint8_t>(pick(rng));
    return grid;
}

inline StageGrid FilledGrid(uint8_t code)
{
    StageGrid grid{};
    grid.fill(code);
    return grid;
}

inline std::optional<std::vector<uint8_t>> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The decompressed Sonic & Knuckles special stage set: 8 records of 1032 bytes.
inline std::optional<std::vector<uint8_t>> SkStageSet()
{
    return ReadFile(std::string(ZORP_CORPUS_DIR) + "/kosinski/sk__General__Special_Stage__Layout__SK_Set_1.kos.dec");
}

// Properties sections of the eight S&K stages as the game stores them.
inline const std::vector<PropertiesSection>& SkStageProperties()
{
    static const std::vector<PropertiesSection> kProperties = {
        {0x00, 0x00, 0x15, 0x00, 0x1F, 0x00, 0x00, 0x3D}, {0x00, 0x00, 0x13, 0x00, 0x1B, 0x00, 0x00, 0x36},
        {0x40, 0x00, 0x14, 0x00, 0x05, 0x00, 0x00, 0x40}, {0x00, 0x00, 0x10, 0x00, 0x08, 0x00, 0x00, 0x40},
        {0x80, 0x00, 0x0F, 0x00, 0x0F, 0x00, 0x00, 0x44}, {0x80, 0x00, 0x04, 0x00, 0x00, 0x00, 0x00, 0x90},
        {0x00, 0x00, 0x0E, 0x00, 0x18, 0x00, 0x00, 0x39}, {0xC0, 0x00, 0x10, 0x00, 0x17, 0x00, 0x00, 0x40},
    };
    return kProperties;
}

} // namespace zorp::testdata

#include "palette/PaletteWord.h"

#include <algorithm>
#include <cmath>

namespace zorp {

namespace {

std::string UpperCaseAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool IsFifteenBit(PaletteFormat format) { return format != PaletteFormat::Genesis; }

// Right shift from an 8-bit level to a slider position.
int LevelShift(PaletteFormat format) { return IsFifteenBit(format) ? 3 : 5; }

uint16_t FifteenBitValue(PaletteFormat format, PaletteWord word)
{
    const uint16_t value = format == PaletteFormat::Rgb15Swap ? static_cast<uint16_t>((word[1] << 8) | word[0])
                                                              : static_cast<uint16_t>((word[0] << 8) | word[1]);
    return value & 0x7FFF;
}

} // namespace

PaletteFormat PaletteFormatFromType(int32_t paletteType)
{
    switch (paletteType) {
    case 1:
        return PaletteFormat::Rgb15;
    case 2:
        return PaletteFormat::Rgb15Swap;
    default:
        return PaletteFormat::Genesis;
    }
}

int32_t PaletteTypeFromTemplateValue(const std::string& value)
{
    const std::string upper = UpperCaseAscii(value);
    if (upper == "RGB_15")
        return static_cast<int32_t>(PaletteFormat::Rgb15);
    if (upper == "RGB_15_SWAP")
        return static_cast<int32_t>(PaletteFormat::Rgb15Swap);
    return static_cast<int32_t>(PaletteFormat::Genesis);
}

ScreenColor DecodePaletteWord(PaletteFormat format, PaletteWord word)
{
    if (!IsFifteenBit(format)) {
        return {static_cast<uint8_t>((word[1] & 0x0F) << 4), static_cast<uint8_t>(word[1] & 0xF0),
                static_cast<uint8_t>((word[0] & 0x0F) << 4)};
    }
    const uint16_t n = FifteenBitValue(format, word);
    return {static_cast<uint8_t>((n & 31) << 3), static_cast<uint8_t>(((n >> 5) & 31) << 3),
            static_cast<uint8_t>(((n >> 10) & 31) << 3)};
}

PaletteWord EncodePaletteWord(PaletteFormat format, ScreenColor color)
{
    if (!IsFifteenBit(format))
        return {static_cast<uint8_t>(color.b >> 4), static_cast<uint8_t>((color.g & 0xF0) | (color.r >> 4))};
    const uint16_t n = static_cast<uint16_t>(((color.b >> 3) << 10) | ((color.g >> 3) << 5) | (color.r >> 3));
    const uint8_t high = static_cast<uint8_t>(n >> 8);
    const uint8_t low = static_cast<uint8_t>(n & 0xFF);
    if (format == PaletteFormat::Rgb15Swap)
        return {low, high};
    return {high, low};
}

int SliderMaximum(PaletteFormat format) { return IsFifteenBit(format) ? 31 : 7; }
int SliderSteps(PaletteFormat format) { return SliderMaximum(format) + 1; }

int SliderFromLevel(PaletteFormat format, uint8_t level) { return level >> LevelShift(format); }

uint8_t LevelFromSlider(PaletteFormat format, int position)
{
    const int clamped = std::clamp(position, 0, SliderMaximum(format));
    return static_cast<uint8_t>(clamped << LevelShift(format));
}

SliderPositions SlidersFromColor(PaletteFormat format, ScreenColor color)
{
    return {SliderFromLevel(format, color.r), SliderFromLevel(format, color.g), SliderFromLevel(format, color.b)};
}

ScreenColor ColorFromSliders(PaletteFormat format, SliderPositions positions)
{
    return {LevelFromSlider(format, positions.red), LevelFromSlider(format, positions.green),
            LevelFromSlider(format, positions.blue)};
}

int RescaleSlider(int oldMaximum, int oldPosition, PaletteFormat newFormat)
{
    const int newMaximum = SliderMaximum(newFormat);
    if (oldMaximum == newMaximum)
        return oldPosition;
    if (oldMaximum < 0)
        return 0;
    const double scaled = static_cast<double>(SliderSteps(newFormat)) / (oldMaximum + 1.0) * oldPosition;
    return static_cast<int>(std::clamp(std::floor(scaled), 0.0, static_cast<double>(newMaximum)));
}

} // namespace zorp

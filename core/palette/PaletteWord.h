#pragma once
// Palette colour words: the three 16-bit word formats a template can choose,
// how a word becomes a screen colour and slider positions, and back.
#include <array>
#include <cstdint>
#include <string>

namespace zorp {

// The format codes held in the palette editor's PaletteType property.
enum class PaletteFormat : int32_t {
    Genesis = 0,   // 0000 BBBB GGGG RRRR, big-endian nibbles
    Rgb15 = 1,     // xBBBBBGG GGGRRRRR, big-endian
    Rgb15Swap = 2, // the same 15 bits, little-endian
};

// Format of a PaletteType code; codes other than 1 and 2 are Genesis.
PaletteFormat PaletteFormatFromType(int32_t paletteType);
// PaletteType code of a template's PALTYPE value: "RGB_15" 1, "RGB_15_SWAP" 2
// (compared case-insensitively), anything else 0.
int32_t PaletteTypeFromTemplateValue(const std::string& value);

// A colour as the screen shows it: three 8-bit levels.
struct ScreenColor {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;

    // The platform's colour value R + 256 G + 65536 B.
    uint32_t Value() const { return r | (uint32_t{g} << 8) | (uint32_t{b} << 16); }
    static ScreenColor FromValue(uint32_t value)
    {
        return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16)};
    }
    friend bool operator==(const ScreenColor&, const ScreenColor&) = default;
};

// Byte 0 is the byte at the lower file position.
using PaletteWord = std::array<uint8_t, 2>;

// Word -> screen colour. A Genesis word whose byte 0 is 16 or more lies outside
// the format; only its low nibble is used (the hardware ignores the rest too).
// Bit 15 of the 15-bit formats is ignored.
ScreenColor DecodePaletteWord(PaletteFormat format, PaletteWord word);
// Screen colour -> word. Decoding then encoding gives back every word whose
// unused bits are zero.
PaletteWord EncodePaletteWord(PaletteFormat format, ScreenColor color);

// Slider positions of the red, green and blue channel sliders.
struct SliderPositions {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend bool operator==(const SliderPositions&, const SliderPositions&) = default;
};

int SliderMaximum(PaletteFormat format); // 7 Genesis, 31 for the 15-bit formats
int SliderSteps(PaletteFormat format);   // SliderMaximum + 1

// One channel: the slider shows the level's top 3 (Genesis) or 5 bits; a slider
// position gives level position x 32 (Genesis) or x 8. Positions outside
// 0..SliderMaximum are clamped.
int SliderFromLevel(PaletteFormat format, uint8_t level);
uint8_t LevelFromSlider(PaletteFormat format, int position);

SliderPositions SlidersFromColor(PaletteFormat format, ScreenColor color);
ScreenColor ColorFromSliders(PaletteFormat format, SliderPositions positions);

// New position of a slider when the format changes: unchanged when the slider's
// maximum already is the new format's, else floor(steps_new / (oldMaximum + 1)
// x oldPosition) in double precision, within 0..SliderMaximum(newFormat).
int RescaleSlider(int oldMaximum, int oldPosition, PaletteFormat newFormat);

} // namespace zorp

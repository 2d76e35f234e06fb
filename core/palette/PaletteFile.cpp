#include "palette/PaletteFile.h"

#include <cstdio>
#include <sstream>

namespace zorp {

namespace {

std::string LowerExtension(const std::string& path)
{
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

PaletteFileRead Fail(std::string error) { return {{}, std::move(error)}; }

std::string HexWord(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

// The lines of a text file: "\n", "\r\n" or "\r" end a line; trailing
// spaces and tabs are dropped.
std::vector<std::string> TextLines(const std::vector<uint8_t>& bytes)
{
    std::vector<std::string> lines(1);
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = static_cast<char>(bytes[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    for (std::string& line : lines)
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
            line.pop_back();
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

// Reads up to `wanted` whole numbers separated by spaces or tabs from the
// start of text; `rest` is what follows them. False on anything else than a
// number where one is expected, or a number above 99999.
bool ReadNumbers(const std::string& text, size_t wanted, std::vector<long>& numbers, std::string* rest = nullptr)
{
    numbers.clear();
    size_t at = 0;
    while (numbers.size() < wanted) {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t'))
            ++at;
        if (at >= text.size() || text[at] < '0' || text[at] > '9')
            return false;
        long value = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            value = value * 10 + (text[at] - '0');
            if (value > 99999)
                return false;
            ++at;
        }
        numbers.push_back(value);
        if (at < text.size() && text[at] != ' ' && text[at] != '\t')
            return false;
    }
    if (rest)
        *rest = text.substr(at);
    return true;
}

// Three levels as a colour; the message names the line when one is outside 0..255.
std::optional<ScreenColor> ColorOf(const std::vector<long>& levels, size_t lineNumber, std::string& error)
{
    for (long level : levels) {
        if (level > 255) {
            error = "Line " + std::to_string(lineNumber) + " holds the level " + std::to_string(level) +
                    "; colour levels go from 0 to 255.";
            return std::nullopt;
        }
    }
    return ScreenColor{static_cast<uint8_t>(levels[0]), static_cast<uint8_t>(levels[1]),
                       static_cast<uint8_t>(levels[2])};
}

std::vector<uint8_t> TextBytes(const std::string& text) { return {text.begin(), text.end()}; }

} // namespace

std::optional<PaletteFileFormat> PaletteFileFormatOfPath(const std::string& path)
{
    const std::string ext = LowerExtension(path);
    if (ext == "bin")
        return PaletteFileFormat::GenesisWords;
    if (ext == "pal")
        return PaletteFileFormat::JascPal;
    if (ext == "gpl")
        return PaletteFileFormat::Gimp;
    if (ext == "png")
        return PaletteFileFormat::Png;
    return std::nullopt;
}

std::string PaletteFileFormatName(PaletteFileFormat format)
{
    switch (format) {
    case PaletteFileFormat::GenesisWords: return "Genesis colour words";
    case PaletteFileFormat::JascPal: return "JASC-PAL palette";
    case PaletteFileFormat::Gimp: return "GIMP palette";
    case PaletteFileFormat::Png: return "PNG image";
    }
    return {};
}

PaletteFileRead ReadGenesisPaletteFile(const std::vector<uint8_t>& bytes)
{
    if (bytes.empty())
        return Fail("The file is empty.");
    if (bytes.size() % 2 != 0)
        return Fail("The file holds " + std::to_string(bytes.size()) +
                    " bytes; a Genesis palette is a run of 2-byte colour words.");
    if (bytes.size() / 2 > kMaxPaletteFileColors)
        return Fail("The file holds " + std::to_string(bytes.size() / 2) + " words; a palette file holds at most " +
                    std::to_string(kMaxPaletteFileColors) + " colours.");
    PaletteFileRead read;
    read.colors.reserve(bytes.size() / 2);
    for (size_t i = 0; i < bytes.size(); i += 2) {
        // 0000 BBBx GGGx RRRx: a set top nibble is no colour word, so the
        // file is something else.
        if (bytes[i] & 0xF0)
            return Fail("Word " + std::to_string(i / 2) + " (0x" + HexWord((bytes[i] << 8) | bytes[i + 1]) +
                        ") is not a Genesis colour word (0000 BBBx GGGx RRRx).");
        read.colors.push_back(DecodePaletteWord(PaletteFormat::Genesis, {bytes[i], bytes[i + 1]}));
    }
    return read;
}

PaletteFileRead ReadJascPalFile(const std::vector<uint8_t>& bytes)
{
    if (bytes.empty())
        return Fail("The file is empty.");
    const std::vector<std::string> lines = TextLines(bytes);
    if (lines.empty() || lines[0] != "JASC-PAL")
        return Fail("The file does not begin with the line \"JASC-PAL\".");
    if (lines.size() < 2 || lines[1] != "0100")
        return Fail("Line 2 should be the version \"0100\".");
    std::vector<long> numbers;
    if (lines.size() < 3 || !ReadNumbers(lines[2], 1, numbers) || numbers[0] == 0)
        return Fail("Line 3 should be the number of colours (1 or more).");
    const size_t count = static_cast<size_t>(numbers[0]);
    if (count > kMaxPaletteFileColors)
        return Fail("The file says it holds " + std::to_string(count) + " colours; a palette file holds at most " +
                    std::to_string(kMaxPaletteFileColors) + ".");
    if (lines.size() - 3 < count)
        return Fail("The file says it holds " + std::to_string(count) + " colours but has " +
                    std::to_string(lines.size() - 3) + " colour lines.");
    PaletteFileRead read;
    read.colors.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const size_t lineNumber = i + 4;
        std::string rest;
        std::vector<long> alpha;
        // Some writers add a fourth number (alpha); it is not a colour level.
        if (!ReadNumbers(lines[3 + i], 3, numbers, &rest) || !(rest.empty() || ReadNumbers(rest, 1, alpha, &rest)) ||
            !rest.empty())
            return Fail("Line " + std::to_string(lineNumber) + " is not three colour levels (\"R G B\").");
        std::string error;
        const std::optional<ScreenColor> color = ColorOf(numbers, lineNumber, error);
        if (!color)
            return Fail(error);
        read.colors.push_back(*color);
    }
    return read;
}

PaletteFileRead ReadGimpPaletteFile(const std::vector<uint8_t>& bytes)
{
    if (bytes.empty())
        return Fail("The file is empty.");
    const std::vector<std::string> lines = TextLines(bytes);
    if (lines.empty() || lines[0] != "GIMP Palette")
        return Fail("The file does not begin with the line \"GIMP Palette\".");
    PaletteFileRead read;
    std::vector<long> numbers;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#')
            continue;
        if (line.rfind("Name:", 0) == 0 || line.rfind("Columns:", 0) == 0)
            continue;
        const size_t lineNumber = i + 1;
        // "R G B" and an optional name after white space.
        std::string rest;
        if (!ReadNumbers(line, 3, numbers, &rest) || (!rest.empty() && rest[0] != ' ' && rest[0] != '\t'))
            return Fail("Line " + std::to_string(lineNumber) + " is not a colour (\"R G B name\").");
        std::string error;
        const std::optional<ScreenColor> color = ColorOf(numbers, lineNumber, error);
        if (!color)
            return Fail(error);
        if (read.colors.size() == kMaxPaletteFileColors)
            return Fail("The file holds more than " + std::to_string(kMaxPaletteFileColors) + " colours.");
        read.colors.push_back(*color);
    }
    if (read.colors.empty())
        return Fail("The file holds no colour.");
    return read;
}

PaletteFileRead ReadPaletteFile(PaletteFileFormat format, const std::vector<uint8_t>& bytes)
{
    if (bytes.size() > kMaxPaletteFileSize)
        return Fail("The file is larger than " + std::to_string(kMaxPaletteFileSize >> 10) +
                    " KiB, too large for a palette.");
    switch (format) {
    case PaletteFileFormat::GenesisWords: return ReadGenesisPaletteFile(bytes);
    case PaletteFileFormat::JascPal: return ReadJascPalFile(bytes);
    case PaletteFileFormat::Gimp: return ReadGimpPaletteFile(bytes);
    case PaletteFileFormat::Png: break;
    }
    return Fail("PNG files are read by the image reader.");
}

PaletteFileRead ReadPaletteText(const std::string& text)
{
    const std::vector<uint8_t> bytes = TextBytes(text);
    if (text.rfind("GIMP Palette", 0) == 0)
        return ReadGimpPaletteFile(bytes);
    return ReadJascPalFile(bytes);
}

std::vector<uint8_t> WriteGenesisPaletteFile(const std::vector<ScreenColor>& colors)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(2 * colors.size());
    for (const ScreenColor& color : colors) {
        const PaletteWord word = EncodePaletteWord(PaletteFormat::Genesis, color);
        bytes.push_back(word[0]);
        bytes.push_back(word[1]);
    }
    return bytes;
}

std::vector<uint8_t> WriteJascPalFile(const std::vector<ScreenColor>& colors)
{
    std::ostringstream text;
    text << "JASC-PAL\r\n0100\r\n" << colors.size() << "\r\n";
    for (const ScreenColor& c : colors)
        text << int{c.r} << ' ' << int{c.g} << ' ' << int{c.b} << "\r\n";
    return TextBytes(text.str());
}

std::vector<uint8_t> WriteGimpPaletteFile(const std::vector<ScreenColor>& colors, const std::string& name)
{
    std::ostringstream text;
    // A name on one line: line breaks in it would start colour lines.
    std::string oneLine = name;
    for (char& c : oneLine)
        if (c == '\r' || c == '\n')
            c = ' ';
    text << "GIMP Palette\nName: " << oneLine << "\nColumns: 16\n#\n";
    for (size_t i = 0; i < colors.size(); ++i) {
        char line[48];
        std::snprintf(line, sizeof line, "%3d %3d %3d\tColour %zu\n", colors[i].r, colors[i].g, colors[i].b, i);
        text << line;
    }
    return TextBytes(text.str());
}

std::vector<uint8_t> WritePaletteFile(PaletteFileFormat format, const std::vector<ScreenColor>& colors,
                                      const std::string& name)
{
    switch (format) {
    case PaletteFileFormat::GenesisWords: return WriteGenesisPaletteFile(colors);
    case PaletteFileFormat::JascPal: return WriteJascPalFile(colors);
    case PaletteFileFormat::Gimp: return WriteGimpPaletteFile(colors, name);
    case PaletteFileFormat::Png: break;
    }
    return {};
}

} // namespace zorp

// zorptool palette: one palette of a ROM (named as `show` prints it) out to a
// palette file, or a palette file in, as the palette editor's import does:
// into a line or the whole palette, as many colours as asked, each snapped to
// the template's colour format. The format of the file comes from its
// extension: .bin (Genesis words), .pal (JASC-PAL), .gpl (GIMP), .png.
#include <iostream>

#include "Command.h"
#include "RomTemplate.h"
#include "palette/PaletteFile.h"
#include "palette/PaletteImport.h"
#include "palette/PaletteModel.h"
#include "rom/Bytes.h"
#include "rom/RomSave.h"
#include "template/TemplateFit.h"
#ifdef ZORPTOOL_PALETTE_PNG
#include "palette/PalettePng.h"
#endif

namespace {

int RunPalette(const std::vector<std::string>& args);

const ZorptoolCommand kPalette{
    "palette",
    "palette export [--template FILE] ROM NAME OUT | palette import [--template FILE] [--line N] [--count N] "
    "[--fix-checksum] ROM NAME IN",
    "Writes the palette NAME (as `show` prints it) to a palette file, or reads one into it; the format comes from "
    "the extension: .bin (Genesis words), .pal (JASC-PAL), .gpl (GIMP), .png (a swatch strip out; an indexed PNG's "
    "palette or a swatch strip in). Import fills line N (16 colours) or the whole palette with the file's first "
    "colours (--count N of them), snapped to the template's colour format.",
    RunPalette};

struct Options {
    bool exporting = false;
    bool fixChecksum = false;
    int line = -1;
    int count = -1;
    std::string templatePath;
    std::string romPath;
    std::string name;
    std::string filePath;
};

int UsageError(const std::string& problem)
{
    std::cerr << "zorptool: " << problem << " (usage: zorptool " << kPalette.usage << ")\n";
    return 2;
}

bool ParseCount(const std::string& text, int& value)
{
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::stoi(text);
    return true;
}

int ParseOptions(const std::vector<std::string>& args, Options& options)
{
    if (args.empty())
        return ZorptoolUsage(kPalette);
    if (args[0] == "export")
        options.exporting = true;
    else if (args[0] != "import")
        return UsageError("unknown palette command '" + args[0] + "'");
    std::vector<std::string> words;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& word = args[i];
        const bool hasValue = i + 1 < args.size();
        if (word == "--template") {
            if (!hasValue || !options.templatePath.empty())
                return UsageError("--template needs one FILE");
            options.templatePath = args[++i];
        } else if ((word == "--line" || word == "--count") && !options.exporting) {
            int& value = word == "--line" ? options.line : options.count;
            if (!hasValue || !ParseCount(args[i + 1], value))
                return UsageError(word + " needs a whole number");
            ++i;
        } else if (word == "--fix-checksum" && !options.exporting) {
            options.fixChecksum = true;
        } else if (word.size() > 1 && word[0] == '-') {
            return UsageError("unknown option '" + word + "'");
        } else {
            words.push_back(word);
        }
    }
    if (words.size() != 3)
        return UsageError(options.exporting ? "expected ROM, NAME and OUT" : "expected ROM, NAME and IN");
    options.romPath = words[0];
    options.name = words[1];
    options.filePath = words[2];
    return 0;
}

// The palette of that name: exactly, else the one name equal to it in any case.
const zorp::PaletteEntry* FindPalette(const zorp::PaletteSetup& setup, const std::string& name)
{
    auto lower = [](std::string text) {
        for (char& c : text)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return text;
    };
    const zorp::PaletteEntry* caseless = nullptr;
    int caselessCount = 0;
    for (const zorp::PaletteEntry& entry : setup.palettes) {
        if (entry.description == name)
            return &entry;
        if (lower(entry.description) == lower(name)) {
            caseless = &entry;
            ++caselessCount;
        }
    }
    return caselessCount == 1 ? caseless : nullptr;
}

std::string PaletteNames(const zorp::PaletteSetup& setup)
{
    std::string names;
    for (const zorp::PaletteEntry& entry : setup.palettes)
        names += (names.empty() ? "\"" : ", \"") + entry.description + "\"";
    return names;
}

zorp::PaletteFileRead ReadFile(const std::string& path, zorp::PaletteFileFormat format)
{
#ifdef ZORPTOOL_PALETTE_PNG
    return zorp::ui::ReadPaletteFileAt(path);
#else
    if (format == zorp::PaletteFileFormat::Png)
        return {{}, "This zorptool was built without Qt and reads no PNG images."};
    const auto bytes = zorp::ReadFileBytes(path, zorp::kMaxPaletteFileSize);
    if (!bytes)
        return {{}, "The file cannot be read, or it is larger than 1 MiB."};
    return zorp::ReadPaletteFile(format, *bytes);
#endif
}

std::string WriteFile(const std::string& path, zorp::PaletteFileFormat format,
                      const std::vector<zorp::ScreenColor>& colors, const std::string& name)
{
#ifdef ZORPTOOL_PALETTE_PNG
    return zorp::ui::WritePaletteFileAt(path, colors, name);
#else
    if (format == zorp::PaletteFileFormat::Png)
        return "this zorptool was built without Qt and writes no PNG images";
    return zorp::WriteFileBytes(path, zorp::WritePaletteFile(format, colors, name));
#endif
}

int RunPalette(const std::vector<std::string>& args)
{
    Options options;
    if (int status = ParseOptions(args, options))
        return status;
    const auto fileFormat = zorp::PaletteFileFormatOfPath(options.filePath);
    if (!fileFormat)
        return UsageError(options.filePath + ": the file name must end in .bin, .pal, .gpl or .png");
    RomAndTemplate rom;
    if (int status = LoadRomAndTemplate(options.romPath, options.templatePath,
                                         options.exporting ? RomUse::Read : RomUse::Write, rom))
        return status;
    const zorp::PaletteSetup* setup = LastSetup<zorp::PaletteSetup>(rom.result);
    if (!setup)
        return ZorptoolFail(options.templatePath + ": no palette block (PALEDIT)");
    const zorp::PaletteEntry* entry = FindPalette(*setup, options.name);
    if (!entry)
        return ZorptoolFail(options.templatePath + ": no palette named \"" + options.name +
                            "\"; the palettes are " + PaletteNames(*setup));

    const zorp::Bytes& image = rom.game.image;
    const uint64_t address = static_cast<uint64_t>(entry->address);
    const uint64_t length = 2 * static_cast<uint64_t>(entry->count);
    if (entry->address < 0 || entry->count <= 0 || address > image.size() || length > image.size() - address)
        return ZorptoolFail(options.romPath + ": the palette \"" + entry->description +
                            "\" reaches past the end of the file");
    const zorp::PaletteFormat format = zorp::PaletteFormatFromType(setup->paletteType);
    const std::vector<zorp::ScreenColor> colors = zorp::DecodePalette(
        format, zorp::Bytes(image.begin() + static_cast<std::ptrdiff_t>(address),
                            image.begin() + static_cast<std::ptrdiff_t>(address + length)),
        static_cast<size_t>(entry->count));

    if (options.exporting) {
        const std::string error = WriteFile(options.filePath, *fileFormat, colors, entry->description);
        if (!error.empty())
            return ZorptoolFail(options.filePath + ": " + error);
        std::cout << "wrote " << colors.size() << " colours of \"" << entry->description << "\" to "
                  << options.filePath << " (" << zorp::PaletteFileFormatName(*fileFormat) << ")\n";
        return 0;
    }

    // Never write with a template made for another revision of the game.
    const zorp::FitVerdict fits = zorp::CheckTemplateFit(rom.result.fit, image);
    if (!fits.fits)
        return ZorptoolFail(options.templatePath + ": the template does not fit this ROM: " + fits.detail +
                            " The ROM was not written.");
    const zorp::PaletteFileRead read = ReadFile(options.filePath, *fileFormat);
    if (!read.ok())
        return ZorptoolFail(options.filePath + ": " + read.error + " The ROM was not written.");
    const zorp::PaletteImport import =
        zorp::PlaceImportedColors(colors, read.colors, format, {options.line, options.count});
    if (!import.ok())
        return ZorptoolFail(options.filePath + ": " + import.error + " The ROM was not written.");
    const zorp::SaveResult saved = zorp::SavePatches(
        options.romPath, {zorp::Patch{address, zorp::EncodePalette(format, import.colors)}},
        zorp::SaveOptions{.fixChecksum = options.fixChecksum, .expected = zorp::StampOf(image)});
    if (!saved.ok())
        return ZorptoolFail(options.romPath + ": " +
                            (saved.outcome == zorp::SaveOutcome::Changed ? "the file changed while it was being read"
                                                                         : saved.error) +
                            "; the ROM was not written");
    std::cout << options.filePath << ": " << read.colors.size() << " colours read; " << import.placed
              << " placed at colours " << import.start << " to " << import.start + import.placed - 1 << " of \""
              << entry->description << "\", " << import.snapped << " of them changed to fit the "
              << (format == zorp::PaletteFormat::Genesis ? "Genesis" : "15-bit") << " colour grid; wrote "
              << options.romPath << (saved.checksumFixed ? " (checksum fixed)" : "") << "\n";
    return 0;
}

} // namespace

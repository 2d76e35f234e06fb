// zorptool wav: the game's sampled sound ("SEGA") out as a plain WAV file, or
// any sound file in, converted exactly as the WAV importer window converts it
// (mixed to mono, resampled to the game's rate, dithered to unsigned 8-bit,
// padded with silence). The sample's place, length and rate come from the
// WAVIMPORTER block of the ROM's template.
#include <iostream>

#include "Command.h"
#include "RomTemplate.h"
#include "audio/AudioDecoder.h"
#include "audio/SoundImport.h"
#include "audio/WavWriter.h"
#include "rom/Bytes.h"
#include "rom/RomDefinitions.h"
#include "rom/RomSave.h"
#include "template/WavSample.h"

namespace {

int RunWav(const std::vector<std::string>& args);

const ZorptoolCommand kWav{
    "wav",
    "wav export [--template FILE] ROM OUT.wav | wav import [--template FILE] [--fix-checksum] [--cut] ROM IN",
    "Writes the game's sampled sound as an 8-bit mono WAV file at the game's rate, or replaces it with a sound "
    "file (WAV, AIFF, FLAC, Ogg Vorbis) converted to the game's format; a shorter sound is padded with silence, a "
    "longer one is refused unless --cut keeps its start.",
    RunWav};

struct Options {
    bool exporting = false;
    bool fixChecksum = false;
    bool cut = false;
    std::string templatePath;
    std::string romPath;
    std::string soundPath;
};

int UsageError(const std::string& problem)
{
    std::cerr << "zorptool: " << problem << " (usage: zorptool " << kWav.usage << ")\n";
    return 2;
}

int ParseOptions(const std::vector<std::string>& args, Options& options)
{
    if (args.empty())
        return ZorptoolUsage(kWav);
    if (args[0] == "export")
        options.exporting = true;
    else if (args[0] != "import")
        return UsageError("unknown wav command '" + args[0] + "'");
    std::vector<std::string> paths;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (word == "--template") {
            if (i + 1 >= args.size() || !options.templatePath.empty())
                return UsageError("--template needs one FILE");
            options.templatePath = args[++i];
        } else if (word == "--fix-checksum" && !options.exporting) {
            options.fixChecksum = true;
        } else if (word == "--cut" && !options.exporting) {
            options.cut = true;
        } else if (word.size() > 1 && word[0] == '-') {
            return UsageError("unknown option '" + word + "'");
        } else {
            paths.push_back(word);
        }
    }
    if (paths.size() != 2)
        return UsageError(options.exporting ? "expected ROM and OUT.wav" : "expected ROM and IN");
    options.romPath = paths[0];
    options.soundPath = paths[1];
    return 0;
}

int Export(const Options& options, const zorp::WavSetup& setup, const zorp::Bytes& image)
{
    const uint64_t start = static_cast<uint64_t>(setup.startAddress);
    const uint64_t length = static_cast<uint64_t>(setup.length);
    if (setup.startAddress < 0 || start > image.size() || length > image.size() - start)
        return ZorptoolFail(options.romPath + ": the sample reaches past the end of the file");
    const zorp::Bytes samples(image.begin() + static_cast<std::ptrdiff_t>(start),
                              image.begin() + static_cast<std::ptrdiff_t>(start + length));
    const std::string error =
        zorp::WriteFileBytes(options.soundPath, zorp::BuildPlainWav(samples, static_cast<uint32_t>(setup.frequency)));
    if (!error.empty())
        return ZorptoolFail(options.soundPath + ": " + error);
    std::cout << "wrote " << length << " samples, 8-bit mono at " << setup.frequency << " Hz ("
              << zorp::Seconds(static_cast<double>(length) / setup.frequency) << "), to " << options.soundPath << "\n";
    return 0;
}

int Import(const Options& options, const zorp::WavSetup& setup, const RomAndTemplate& rom)
{
    // Never write with a template made for another revision of the game.
    const zorp::FitVerdict fits = zorp::CheckTemplateFit(rom.result.fit, rom.game.image);
    if (!fits.fits)
        return ZorptoolFail(options.templatePath + ": the template does not fit this ROM: " + fits.detail +
                            " The ROM was not written.");
    const auto size = zorp::FileSize(options.soundPath);
    if (!size)
        return ZorptoolFail(options.soundPath + ": cannot open the file");
    if (*size > zorp::kMaxSoundFileSize)
        return ZorptoolFail(options.soundPath + ": larger than 64 MiB, not read");
    const auto file = zorp::ReadFileBytes(options.soundPath, zorp::kMaxSoundFileSize);
    if (!file)
        return ZorptoolFail(options.soundPath + ": cannot read the file");
    const zorp::SoundImport import =
        zorp::ImportSound(*file, setup.frequency, static_cast<size_t>(setup.length));
    if (!import.ok())
        return ZorptoolFail(options.soundPath + ": " + import.error + " The ROM was not written.");
    if (import.tooLong && !options.cut)
        return ZorptoolFail(options.soundPath + ": the sound lasts " + zorp::Seconds(import.soundSeconds) +
                            ", the game has room for " + zorp::Seconds(import.roomSeconds) +
                            " (--cut keeps its start); the ROM was not written");

    zorp::WavSample sample(setup);
    sample.LoadSamples(import.samples);
    const zorp::SaveResult saved = zorp::SavePatches(
        options.romPath, {zorp::Patch{static_cast<uint64_t>(setup.startAddress), sample.Samples()}},
        zorp::SaveOptions{.fixChecksum = options.fixChecksum, .expected = zorp::StampOf(rom.game.image)});
    if (!saved.ok())
        return ZorptoolFail(options.romPath + ": " + saved.error + "; the ROM was not written");
    std::cout << options.soundPath << ": " << zorp::DescribeImport(import) << "; wrote " << setup.length
              << " bytes to " << options.romPath << (saved.checksumFixed ? " (checksum fixed)" : "") << "\n";
    return 0;
}

int RunWav(const std::vector<std::string>& args)
{
    Options options;
    if (int status = ParseOptions(args, options))
        return status;
    RomAndTemplate rom;
    if (int status = LoadRomAndTemplate(options.romPath, options.templatePath,
                                         options.exporting ? RomUse::Read : RomUse::Write, rom))
        return status;
    const zorp::WavSetup* setup = LastSetup<zorp::WavSetup>(rom.result);
    if (!setup)
        return ZorptoolFail(options.templatePath + ": no WAV importer block (WAVIMPORTER)");
    return options.exporting ? Export(options, *setup, rom.game.image) : Import(options, *setup, rom);
}

} // namespace

// zorptool lockon: builds a Sonic & Knuckles lock-on image, through the same
// code as the combiner window.
#include <iostream>

#include "Command.h"
#include "rom/RomSave.h"
#include "rom/LockOn.h"
#include "rom/PubFunctions.h"
#include "rom/RomDefinitions.h"

namespace {

int RunLockOn(const std::vector<std::string>& args);

const ZorptoolCommand kLockOn{
    "lockon", "lockon SK_ROM OTHER_ROM OUT [--s2-extra FILE] [--fix-checksum]",
    "Locks OTHER_ROM onto the Sonic & Knuckles image SK_ROM and writes the combination to OUT. "
    "Sonic 2 needs the 256K extra image: S2K_EXTRA.BIN in the user's data folder (or the program "
    "folder of a build), or --s2-extra FILE.",
    RunLockOn};

// A core message as one stderr line.
int Fail(const zorp::Message& message)
{
    std::string text = message.title + ":";
    for (const std::string& line : message.lines) {
        if (!line.empty())
            text += " " + line;
    }
    return ZorptoolFail(text);
}

int RunLockOn(const std::vector<std::string>& args)
{
    std::vector<std::string> files;
    std::optional<std::string> extraPath;
    bool fixChecksum = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--fix-checksum") {
            fixChecksum = true;
        } else if (args[i] == "--s2-extra") {
            if (i + 1 >= args.size())
                return ZorptoolUsage(kLockOn);
            extraPath = args[++i];
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 3)
        return ZorptoolUsage(kLockOn);
    const std::string& skPath = files[0];
    const std::string& otherPath = files[1];
    const std::string& outPath = files[2];

    zorp::RomDefinitionsLoad definitions = zorp::LoadRomDefinitions();
    if (!definitions.ok())
        return Fail(*definitions.error);

    const zorp::SKImageLoad sk = zorp::LoadSKImage(definitions.table, skPath);
    if (!sk.ok())
        return Fail(*sk.error);
    const zorp::LockOnImageLoad other = zorp::LoadLockOnImage(definitions.table, otherPath);
    if (!other.ok())
        return Fail(*other.error);

    zorp::Bytes extra;
    if (zorp::NeedsS2Extra(other.gameId)) {
        zorp::S2ExtraLoad load = extraPath ? zorp::LoadS2ExtraImage(*extraPath) : zorp::LoadS2ExtraImage();
        if (!load.ok())
            return Fail(*load.error);
        extra = std::move(load.image);
    }
    auto combined = zorp::CombineROMs(sk.image, other.image, other.gameId, extra);
    if (!combined)
        return ZorptoolFail("the Sonic 2 extra image is not 262,144 bytes");
    if (fixChecksum)
        zorp::FixHeaderChecksum(*combined);
    if (std::string reason = zorp::WriteFileBytes(outPath, *combined); !reason.empty())
        return Fail(zorp::LockOnWriteFailedMessage(outPath, reason));

    std::cout << "Locked on " << zorp::GameDisplayName(definitions.table, other.gameId) << " ("
              << other.gameId << "): " << outPath << ", " << combined->size() << " bytes\n";
    for (const std::string& note : zorp::LockOnNotes(other.gameId, other.image.size()))
        std::cout << "\n" << note << "\n";
    return 0;
}

} // namespace

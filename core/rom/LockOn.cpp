#include "rom/LockOn.h"

#include <algorithm>

#include "rom/PubFunctions.h"

namespace zorp {

namespace {

const char* const kNoteLargerThan2MB =
    "The lock-on ROM is larger than 2MB. Adding this ROM to "
    "Sonic & Knuckles will produce a ROM larger than 4MB. "
    "The actual Mega Drive hardware can only support 4MB - "
    "if you lock on a cartridge larger than 2MB to the physical "
    "S&K cartridge, you will get strange results. Most emulators "
    "do not properly implement this \"feature\", so you will get "
    "different results on emulation than on the real console.";

const char* const kNoteS1 =
    "Sonic 1 is not compatible with Sonic & Knuckles. It simply shows "
    "a screen that says \"NO WAY!\". Press A+B+C on that screen, and you "
    "can play over 16 million different special stages.";

const char* const kNoteS2v154 =
    "Sonic 2 v1.54 is not compatible with Sonic & Knuckles. Since it "
    "has the same serial number as Sonic 1 (J), it will show a screen "
    "that says \"NO WAY!\". Press A+B+C on that screen, and you can "
    "play over 16 million different special stages.";

const char* const kNoteS2 =
    "Sonic 2 requires an extra 256K ROM image placed at the end of "
    "the combined S&K and S2 ROM image in order to play as Knuckles "
    "in Sonic 2. ZORP-II will automatically add this extra ROM image "
    "to the end of the ROM.";

const char* const kNoteS2Larger =
    "WARNING: The selected Sonic 2 ROM is larger than 1MB. When "
    "ZORP-II adds the extra 256K ROM image, it will overwrite the "
    "portion of the Sonic 2 ROM that is over 1MB.";

const char* const kNoteS3 =
    "Sonic & Knuckles utilizes Sonic 3's SRAM chip for saving games. "
    "Since S&K doesn't have the SRAM information in its header, most "
    "emulators will not detect the SRAM. ZORP-II will add SRAM information "
    "to the header, so most emulators will be able to use the built-in "
    "save game function.";

const char* const kNoteOther =
    "Sonic & Knuckles is not compatible with this ROM. It will show "
    "a screen that says \"NO WAY!\". Press A+B+C on that screen, and "
    "you can play a special stage based on that ROM's header.";

Message ReadFailed(const std::string& path, const std::string& reason)
{
    return Message{MessageIcon::Critical, "Error Reading ROM",
                   {"Error: The file \"" + path + "\" could not be read.", reason}};
}

// The size of a file that is to be read whole, or the message why not.
std::optional<Message> CheckReadable(const std::string& path, std::optional<uint64_t> size)
{
    if (!size)
        return ReadFailed(path, "It does not exist or cannot be opened.");
    if (*size == 0)
        return ReadFailed(path, "It is empty.");
    return std::nullopt;
}

std::string IdentifyAtBase0(const RomDefinitions& table, const std::string& path)
{
    const auto identity = ReadHeaderIdentity(path, false);
    if (!identity) // too short to hold a header
        return kGameIdUnknown;
    return LookupGameId(table, identity->serial, identity->title);
}

std::string WithThousands(uint64_t n)
{
    std::string digits = std::to_string(n);
    for (int i = int(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(size_t(i), ",");
    return digits;
}

} // namespace

Bytes MakeSKImage(const Bytes& fileBytes)
{
    Bytes image(kSKImageSize, 0);
    std::copy_n(fileBytes.begin(), std::min(fileBytes.size(), kSKImageSize), image.begin());
    for (const LockOnBytePatch& p : kSKPatches)
        image[p.offset] = p.value;
    return image;
}

std::vector<std::string> LockOnNotes(const std::string& lockOnId, uint64_t lockOnFileSize)
{
    std::vector<std::string> notes;
    if (lockOnFileSize > kSKImageSize)
        notes.push_back(kNoteLargerThan2MB);
    if (lockOnId == kGameIdS1 || lockOnId == kGameIdS1J) {
        notes.push_back(kNoteS1);
    } else if (lockOnId == kGameIdS2v154) {
        notes.push_back(kNoteS2v154);
    } else if (lockOnId == kGameIdS2) {
        notes.push_back(kNoteS2);
        if (lockOnFileSize > kLockOnNoteS2Size)
            notes.push_back(kNoteS2Larger);
    } else if (lockOnId == kGameIdS3) {
        notes.push_back(kNoteS3);
    } else {
        notes.push_back(kNoteOther);
    }
    return notes;
}

std::string LockOnNotesText(const std::string& lockOnId, uint64_t lockOnFileSize)
{
    std::string text;
    for (const std::string& note : LockOnNotes(lockOnId, lockOnFileSize))
        text += note + "\r\n\r\n";
    return text;
}

bool NeedsS2Extra(const std::string& lockOnId)
{
    return lockOnId == kGameIdS2;
}

std::optional<Bytes> CombineROMs(const Bytes& skImage, const Bytes& lockOnImage,
                                 const std::string& lockOnId, const Bytes& s2Extra)
{
    const bool s2 = NeedsS2Extra(lockOnId);
    if (s2 && s2Extra.size() != kS2ExtraSize)
        return std::nullopt;

    size_t size = kLockOnImageOffset + lockOnImage.size();
    if (s2)
        size = std::max(size, kS2ExtraOffset + kS2ExtraSize);
    Bytes out(size, 0);
    std::copy_n(skImage.begin(), std::min(skImage.size(), kSKImageSize), out.begin());
    std::copy(lockOnImage.begin(), lockOnImage.end(), out.begin() + kLockOnImageOffset);
    if (s2)
        std::copy(s2Extra.begin(), s2Extra.end(), out.begin() + kS2ExtraOffset);
    if (lockOnId == kGameIdS3)
        std::copy(kLockOnSramInfo.begin(), kLockOnSramInfo.end(), out.begin() + kSramInfoOffset);
    return out;
}

SKImageLoad LoadSKImage(const RomDefinitions& table, const std::string& path)
{
    SKImageLoad result;
    if (auto problem = CheckReadable(path, FileSize(path))) {
        result.error = std::move(problem);
        return result;
    }
    if (IdentifyAtBase0(table, path) != kGameIdSK) {
        result.error = Message{MessageIcon::Critical, "Not S&K ROM",
                               {"The selected ROM is not Sonic & knuckles or",
                                "an already locked-on ROM. Please select a", "Sonic & Knuckles ROM."}};
        return result;
    }
    // Only the first 2 MiB count, whatever the file's size.
    auto bytes = ReadBytesAt(path, 0, kSKImageSize);
    if (!bytes) {
        result.error = ReadFailed(path, "It cannot be opened.");
        return result;
    }
    result.image = MakeSKImage(*bytes);
    return result;
}

LockOnImageLoad LoadLockOnImage(const RomDefinitions& table, const std::string& path)
{
    LockOnImageLoad result;
    const auto size = FileSize(path);
    if (auto problem = CheckReadable(path, size)) {
        result.error = std::move(problem);
        return result;
    }
    if (*size > kMaxLockOnFileSize) {
        result.error = ReadFailed(path, "It is larger than " + std::to_string(kMaxLockOnFileSize >> 20) +
                                            " MB, too large for a cartridge image.");
        return result;
    }
    auto bytes = ReadFileBytes(path, kMaxLockOnFileSize);
    if (!bytes) {
        result.error = ReadFailed(path, "It cannot be opened.");
        return result;
    }
    result.image = std::move(*bytes);
    result.gameId = IdentifyAtBase0(table, path);
    return result;
}

S2ExtraLoad LoadS2ExtraImage()
{
    // A missing file is asked for in the user's folder: the shipped one may
    // not be writable.
    const std::string found = AppFilePath(kS2ExtraFileName);
    return LoadS2ExtraImage(FileSize(found) ? found : UserFilePath(kS2ExtraFileName));
}

S2ExtraLoad LoadS2ExtraImage(const std::string& path)
{
    S2ExtraLoad result;
    const auto size = FileSize(path);
    std::string found;
    if (!size)
        found = "There is no such file.";
    else if (*size != kS2ExtraSize)
        found = "That file is " + WithThousands(*size) + " bytes long.";
    else if (auto bytes = ReadFileBytes(path, kS2ExtraSize); bytes && bytes->size() == kS2ExtraSize)
        result.image = std::move(*bytes);
    else
        found = "That file cannot be read.";
    if (!found.empty()) {
        result.error = Message{MessageIcon::Critical,
                               "Sonic 2 Extra ROM Missing",
                               {"Knuckles in Sonic 2 needs the extra 256K ROM image of the Sonic & Knuckles",
                                "cartridge, which cannot be shipped with ZORP-II. Please save that image",
                                "(exactly " + WithThousands(kS2ExtraSize) + " bytes) as this file:", path, "",
                                found, "No ROM has been created."}};
    }
    return result;
}

Message LockOnWriteFailedMessage(const std::string& path, const std::string& reason)
{
    return Message{MessageIcon::Critical, "Error Writing ROM",
                   {"Error: The combined ROM could not be written to \"" + path + "\".", reason}};
}

Message LockedOnMessage()
{
    return Message{MessageIcon::Information, "Locked On", {"The ROMs have been locked on."}};
}

} // namespace zorp

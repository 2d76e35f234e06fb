#pragma once
// The one road by which every front end opens a game: the file is read once,
// its layout recognised (plain, SMD, MGD), the game identified from the plain
// image and its default template found through the locations service. The
// main menu and every zorptool command that opens a ROM go through here.
#include <optional>
#include <string>

#include "rom/Bytes.h"
#include "rom/Message.h"
#include "rom/RomDefinitions.h"
#include "rom/RomFormat.h"

namespace zorp {

struct OpenedGame {
    RomKind kind = RomKind::Unsupported;
    // Genesis images: the layout the file is stored in (RomLayout flags).
    uint32_t layout = kLayoutUnknown;
    Bytes image; // the plain image (de-interleaved for SMD and MGD files)
    RomIdentification identity;
    // The game's default template: the user's copy, else the shipped one,
    // of the revision's own template when one exists ("S2_REV00.ZORP").
    // Empty for an unrecognised game.
    std::string defaultTemplate;
    // Its name without ".ZORP": the settings key of the game's (and
    // revision's) chosen template. Empty for an unrecognised game.
    std::string templateKey;
    // The file could not be read or is of a kind the program does not open.
    std::optional<Message> error;
    bool ok() const { return !error.has_value(); }
    // True for a Genesis image not stored as a plain binary: the workspace
    // edits files in place and cannot write into an interleaved one.
    bool interleaved() const { return kind == RomKind::Genesis && layout != kLayoutPlain; }
};

// The file kind a path names: RomKindOfPath, plus the SMD and MGD endings,
// which are Genesis images in another layout.
RomKind OpenedKindOfPath(const std::string& path);

OpenedGame OpenGame(const RomDefinitions& table, const std::string& path);

} // namespace zorp

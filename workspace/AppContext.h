#pragma once
// What every window of one run of the program shares: the platform services,
// the codec object (absent when the plug-in could not be loaded) and the ROM
// definitions table.
#include <QString>

#include "OstrelLoader.h"
#include "Platform.h"
#include "rom/RomDefinitions.h"

namespace zorp::ui {

struct AppContext {
    Platform platform;
    // The codec object as the plug-in loader found it (any interface from
    // 0.0.2 on); empty without the plug-in.
    OstrelLink codec;
    RomDefinitions definitions;

    bool codecPresent() const; // codec loaded and answering OstrelPresent()

    // Reloads ROM_DEF.RDEF (the user's copy, else the shipped one: see
    // rom/Locations.h). On failure the table in
    // use is kept and the message is returned for the caller to show.
    std::optional<Message> reloadDefinitions();
};

} // namespace zorp::ui

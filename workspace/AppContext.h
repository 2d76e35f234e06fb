#pragma once
// What every window of one run of the program shares: the platform services,
// the codec object (absent when the plug-in could not be loaded), the ROM
// definitions table and the template status through which a workspace tells
// the main menu that it refused its template.
#include <QString>

#include "Platform.h"
#include "rom/RomDefinitions.h"

class clsOstrel;

namespace zorp::ui {

struct AppContext {
    Platform platform;
    clsOstrel* codec = nullptr; // owned by the plug-in loader; null without the plug-in
    RomDefinitions definitions;
    // "OUTDATED" or "NET" after a workspace refused its template, else empty.
    QString templateStatus;

    bool codecPresent() const; // codec loaded and answering OstrelPresent()

    // Reloads ROM_DEF.RDEF (the user's copy, else the shipped one: see
    // rom/Locations.h). On failure the table in
    // use is kept and the message is returned for the caller to show.
    std::optional<Message> reloadDefinitions();
};

} // namespace zorp::ui

#pragma once
// A ROM opened the way the main menu opens it (template/OpenGame.h) together
// with its template: the game's default template, or the one given with
// --template, read and run. Shared by every command that reads a ROM
// through a template.
#include <string>

#include "rom/RomDefinitions.h"
#include "template/OpenGame.h"
#include "template/TemplateReader.h"

struct RomAndTemplate {
    zorp::RomDefinitions definitions;
    zorp::OpenedGame game; // game.image: the plain image, read once
    zorp::TemplateResult result;
};

enum class RomUse {
    Read,  // any file the program opens, special stage files and SMD/MGD included
    Write, // a ROM the command writes into at plain offsets
};

// 0 with rom filled (and templatePath set when it was empty), else the exit
// status after the error line has been printed.
int LoadRomAndTemplate(const std::string& romPath, std::string& templatePath, RomUse use, RomAndTemplate& rom);

// The last setup of kind T in the template's actions (a later block replaces
// an earlier one, as in the workspace), or nullptr.
template <typename T>
const T* LastSetup(const zorp::TemplateResult& result)
{
    const T* found = nullptr;
    for (const zorp::TemplateAction& action : result.actions)
        if (const auto* setup = std::get_if<T>(&action))
            found = setup;
    return found;
}

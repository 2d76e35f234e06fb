#pragma once
// The template a ROM's editors come from: the game's default template in the
// program directory, or the one given with --template, read and run over the
// ROM's identification.
#include <string>

#include "template/TemplateReader.h"

// 0 with result filled (and templatePath set when it was empty), else the exit
// status after the error line has been printed.
int LoadRomTemplate(const std::string& romPath, std::string& templatePath, zorp::TemplateResult& result);

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

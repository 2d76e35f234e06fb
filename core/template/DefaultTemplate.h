#pragma once
// Which shipped template a game opens with. Revisions of one game that keep
// their data at other offsets have a template of their own, named after the
// game and the revision ("S2_REV00.ZORP"); every other image uses the game's
// template ("S2.ZORP").
#include <functional>
#include <string>

#include "rom/RomDefinitions.h"

namespace zorp {

// The file name of the default template; shipped(name) tells whether the
// program ships a template of that name.
std::string DefaultTemplateName(const RomIdentification& identity,
                                const std::function<bool(const std::string&)>& shipped);

// The default template's name without ".ZORP" ("S2_REV00"): the key under
// which the chosen template of that game (and revision) is stored, so each
// revision with a template of its own keeps its own choice.
std::string TemplateKey(const RomIdentification& identity, const std::function<bool(const std::string&)>& shipped);

} // namespace zorp

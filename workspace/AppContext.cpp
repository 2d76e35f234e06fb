#include "AppContext.h"

#include "ostrel/clsOstrel.h"

namespace zorp::ui {

bool AppContext::codecPresent() const { return codec && codec->OstrelPresent(); }

std::optional<Message> AppContext::reloadDefinitions()
{
    RomDefinitionsLoad load = LoadRomDefinitions();
    if (!load.ok())
        return load.error;
    definitions = std::move(load.table);
    return std::nullopt;
}

} // namespace zorp::ui

#include "template/DefaultTemplate.h"

namespace zorp {

std::string DefaultTemplateName(const RomIdentification& identity,
                                const std::function<bool(const std::string&)>& shipped)
{
    if (!identity.revision.empty()) {
        const std::string ofRevision = identity.gameId + "_" + identity.revision + ".ZORP";
        if (shipped(ofRevision))
            return ofRevision;
    }
    return identity.gameId + ".ZORP";
}

std::string TemplateKey(const RomIdentification& identity, const std::function<bool(const std::string&)>& shipped)
{
    const std::string name = DefaultTemplateName(identity, shipped);
    return name.substr(0, name.size() - 5);
}

} // namespace zorp

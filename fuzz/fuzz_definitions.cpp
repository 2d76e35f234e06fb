// Definitions files: any bytes either load into a consistent table or give a
// message; the table answers lookups, revision rules and identification of
// the same bytes as an image without crashing.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "rom/RomDefinitions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    zorp::RomDefinitionsLoad load = zorp::ParseRomDefinitions(text);
    if (!load.ok()) {
        if (load.error->title.empty() || !load.table.empty())
            __builtin_trap(); // a failed load must not hand out a table
        return 0;
    }
    for (const auto& record : load.table.records()) {
        if (record.fields.size() < 5 || load.table.find(record.gameId()) != &record)
            __builtin_trap();
        (void)zorp::LookupGameId(load.table, record.serialText(), record.titleText());
        (void)zorp::GameDisplayName(load.table, record.gameId());
        // The input doubles as an image: revision rules and identification
        // read it within its bounds.
        const zorp::Bytes image(data, data + size);
        (void)zorp::MatchRevision(record.revisions, image, 0);
    }
    (void)zorp::IdentifyRomImage(load.table, zorp::RomKind::Genesis, zorp::Bytes(data, data + size));
    return 0;
}

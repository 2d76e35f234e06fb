#pragma once
// The editors whose data can grow (recompressed streams found through
// pointers) plan their part of a save through one FreeSpaceAllocator, so
// that no two streams of one save get the same bytes. Each such frame is a
// RelocatingEditor; PlanRelocatingSaves runs them together: every one
// declares its free ranges and current streams first, then each places its
// changed streams. When one finds no room, the user is asked once whether
// the ROM may grow, and the whole plan is made again with growth allowed.
#include <QStringList>
#include <vector>

#include "Platform.h"
#include "rom/Bytes.h"
#include "rom/FreeSpace.h"
#include "rom/Message.h"
#include "template/S2RomSave.h"

namespace zorp::ui {

struct RelocatingPlan {
    std::vector<Patch> patches;
    bool needsGrowth = false; // something found no room and growth was not allowed
    std::optional<Message> error; // nothing of this editor is to be written
};

class RelocatingEditor {
public:
    virtual ~RelocatingEditor() = default;
    // Whether this editor takes part in the save (active, with changes).
    virtual bool WantsToSave() const = 0;
    virtual uint8_t Filler() const = 0;
    virtual void Declare(FreeSpaceAllocator& allocator) = 0;
    virtual RelocatingPlan Plan(FreeSpaceAllocator& allocator, bool mayGrow) = 0;
    // Lines that tell the user where streams went (moved, appended).
    virtual QStringList Placements() const = 0;
    // The save was written: image is the file as it is now.
    virtual void Saved(const Bytes& image) = 0;
};

struct RelocatingSave {
    bool ok = true;                // false: a message was shown, nothing is to be written
    std::vector<Patch> patches;
    uint64_t growTo = 0;           // the image's new size, 0: it keeps its size
    uint8_t filler = 0xFF;
    QStringList told;              // for the message after the write
};

RelocatingSave PlanRelocatingSaves(const std::vector<RelocatingEditor*>& editors, const Bytes& image,
                                   const Platform& platform, QWidget* parent);

// A Sonic 2 editor's planned save as the relocating save takes it; the lines
// that say where its streams went land in placements.
RelocatingPlan ToRelocatingPlan(S2Save save, QStringList& placements);

// After a save that moved streams: "Data Moved", or "ROM Grown" when the
// image grew, with where each stream went.
MessageRequest PlacementsMessage(const RelocatingSave& save);

} // namespace zorp::ui

#include "RelocatingSave.h"

#include "CoreMessage.h"

namespace zorp::ui {

namespace {

struct Round {
    RelocatingSave save;
    bool needsGrowth = false;
};

Round PlanOnce(const std::vector<RelocatingEditor*>& editors, const Bytes& image, uint8_t filler, bool mayGrow,
               const Platform& platform, QWidget* parent)
{
    Round round;
    FreeSpaceAllocator allocator(image, filler);
    for (RelocatingEditor* editor : editors)
        editor->Declare(allocator);
    for (RelocatingEditor* editor : editors) {
        RelocatingPlan plan = editor->Plan(allocator, mayGrow);
        if (plan.error) {
            ShowMessage(platform, parent, *plan.error);
            round.save.ok = false;
            return round;
        }
        round.needsGrowth |= plan.needsGrowth;
        for (Patch& p : plan.patches)
            round.save.patches.push_back(std::move(p));
    }
    round.save.filler = filler;
    if (allocator.Grown())
        round.save.growTo = allocator.ImageSize();
    for (RelocatingEditor* editor : editors)
        round.save.told << editor->Placements();
    if (allocator.Grown())
        round.save.told << QStringLiteral("The ROM grew from %1 KiB to %2 KiB.")
                               .arg(image.size() / 1024)
                               .arg(allocator.ImageSize() / 1024);
    return round;
}

} // namespace

RelocatingSave PlanRelocatingSaves(const std::vector<RelocatingEditor*>& all, const Bytes& image,
                                   const Platform& platform, QWidget* parent)
{
    std::vector<RelocatingEditor*> editors;
    for (RelocatingEditor* editor : all)
        if (editor && editor->WantsToSave())
            editors.push_back(editor);
    if (editors.empty())
        return {};
    const uint8_t filler = editors.front()->Filler();
    Round round = PlanOnce(editors, image, filler, false, platform, parent);
    if (!round.save.ok || !round.needsGrowth)
        return round.save;
    if (ShowMessage(platform, parent, GrowImageQuestion(image.size()), Buttons::YesNo) != Answer::Yes) {
        RelocatingSave declined;
        declined.ok = false;
        return declined;
    }
    round = PlanOnce(editors, image, filler, true, platform, parent);
    return round.save;
}

RelocatingPlan ToRelocatingPlan(S2Save save, QStringList& placements)
{
    // The user is told only where streams moved; writes in place go unsaid.
    placements.clear();
    if (save.moved)
        for (const std::string& line : save.placements)
            placements << QString::fromStdString(line);
    RelocatingPlan plan;
    plan.patches = std::move(save.patches);
    plan.needsGrowth = save.needsRoom;
    plan.error = std::move(save.error);
    return plan;
}

MessageRequest PlacementsMessage(const RelocatingSave& save)
{
    return {save.growTo ? QStringLiteral("ROM Grown") : QStringLiteral("Data Moved"),
            save.told.join(QLatin1Char('\n')), Icon::Information, Buttons::Ok};
}

} // namespace zorp::ui

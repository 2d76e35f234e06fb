#pragma once
// fraS1Stages: the Sonic 1 special stage editor S1SpecialStage and the
// workspace's side of it. Load reads the template's S1STAGES block through
// the codec calls of the application context into the editor's document;
// saving takes part in the relocating save (RelocatingSave.h): changed
// stages are re-encoded, placed and repointed, unchanged ones keep their
// bytes, and stages that could not be read are never written.
#include "EditorFrame.h"
#include "RelocatingSave.h"
#include "TemplateModels.h"
#include "template/S1StageBlock.h"

namespace zorp::ui {

struct AppContext;
class S1SpecialStage;

class S1StagesFrame : public EditorFrame, public RelocatingEditor {
    Q_OBJECT
public:
    S1StagesFrame(AppContext& context, QWidget* parent);

    QSize designedSize() const override;
    void Clear() override;

    void Setup(const S1StagesSetup& setup);
    // Reads the stages from the image; a block that cannot be read at all
    // is reported and leaves the editor disabled with the reason.
    void Load(const Bytes& image);

    bool Modified() const;
    void SetModified(bool modified);
    S1SpecialStage* editor() const { return editor_; }

    bool WantsToSave() const override;
    uint8_t Filler() const override { return setup_.relocation.filler; }
    void Declare(FreeSpaceAllocator& allocator) override;
    RelocatingPlan Plan(FreeSpaceAllocator& allocator, bool mayGrow) override;
    QStringList Placements() const override;
    void Saved(const Bytes& image) override;

private:
    AppContext& context_;
    S1SpecialStage* editor_;
    S1StagesSetup setup_;
    CodecCalls codecs_; // the plug-in's formats, taken at each load
    S1StagesLoad loaded_;
    std::vector<S1StagePlacement> placements_;
};

} // namespace zorp::ui

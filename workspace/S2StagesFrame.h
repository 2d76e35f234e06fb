#pragma once
// fraS2SS: Sonic 2's special stages. Reads the layouts, object lists and
// ring tables through the template's S2SPECIALSTAGES block into a stage
// document shown by the S2SpecialStage editor, and plans their part of a
// save: changed streams re-encoded and placed through the save's allocator.
// A load that fails leaves the editor disabled with the reason shown.
#include <QStringList>
#include <optional>

#include "EditorFrame.h"
#include "RelocatingSave.h"
#include "TemplateModels.h"
#include "template/S2RomSave.h"

class QLabel;

namespace zorp::ui {

struct AppContext;
class S2SpecialStage;

class S2StagesFrame : public EditorFrame, public RelocatingEditor {
    Q_OBJECT
public:
    S2StagesFrame(AppContext& context, QWidget* parent);
    ~S2StagesFrame() override;

    QSize designedSize() const override;
    bool stretches() const override { return true; }
    void Clear() override;

    void Setup(const S2SpecialStageSetup& setup);
    // The load's error, if any, for the workspace to show.
    std::optional<Message> Load(const ByteSource& rom, const CodecCalls& codec);

    bool Modified() const;
    void SetModified(bool modified);

    // The save, shared with the other editors whose data can move
    // (RelocatingSave.h). Saved: where the streams lie now is read again
    // from the file; what the editor shows stays (it is what was written).
    bool WantsToSave() const override { return active() && load_ && Modified(); }
    uint8_t Filler() const override { return setup_.relocation.filler; }
    void Declare(FreeSpaceAllocator& allocator) override;
    RelocatingPlan Plan(FreeSpaceAllocator& allocator, bool mayGrow) override;
    QStringList Placements() const override { return placements_; }
    void Saved(const Bytes& image) override;

    S2SpecialStage* editor() const { return editor_; }

private:
    AppContext& context_;
    S2SpecialStageSetup setup_;
    std::optional<S2SpecialStageLoad> load_;
    CodecCalls codecs_; // the plug-in's formats, taken at each load
    QStringList placements_;
    S2SpecialStage* editor_;
    QLabel* status_;
};

} // namespace zorp::ui

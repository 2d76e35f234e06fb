#include "S1StagesFrame.h"

#include <QVBoxLayout>

#include "AppContext.h"
#include "CoreMessage.h"
#include "FrameTag.h"
#include "StageCodec.h"
#include "specialstage/S1SpecialStage.h"

namespace zorp::ui {

S1StagesFrame::S1StagesFrame(AppContext& context, QWidget* parent)
    : EditorFrame(QStringLiteral("fraS1Stages"), QStringLiteral("Special Stages"), parent),
      context_(context),
      editor_(new S1SpecialStage(context.platform, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(editor_);
}

QSize S1StagesFrame::designedSize() const { return editor_->sizeHint() + QSize(8, 8); }

void S1StagesFrame::Clear()
{
    EditorFrame::Clear();
    setup_ = S1StagesSetup();
    loaded_ = S1StagesLoad();
    editor_->Disable(QStringLiteral("No special stages are loaded."));
}

void S1StagesFrame::Setup(const S1StagesSetup& setup)
{
    setup_ = setup;
    loaded_ = S1StagesLoad();
    SetTag(this, FromBytes(FrameTag(setup)));
}

void S1StagesFrame::Load(const Bytes& image)
{
    codecs_ = CodecCallsOf(context_.codec);
    loaded_ = LoadS1Stages(setup_, image, codecs_);
    if (!loaded_.ok()) {
        // Without the codec the program runs on and the editor says why it
        // is off; a block that does not fit the ROM is worth a message.
        if (codecs_.For(setup_.relocation.format).decode)
            ShowMessage(context_.platform, window(), *loaded_.error);
        editor_->Disable(FromBytes(loaded_.error->text()));
        return;
    }
    editor_->Load(loaded_.stages, loaded_.startsEditable);
}

bool S1StagesFrame::Modified() const { return active() && editor_->Modified(); }
void S1StagesFrame::SetModified(bool modified) { editor_->setModified(modified); }

bool S1StagesFrame::WantsToSave() const { return active() && loaded_.ok() && editor_->Modified(); }

void S1StagesFrame::Declare(FreeSpaceAllocator& allocator) { DeclareS1Streams(setup_, loaded_, allocator); }

RelocatingPlan S1StagesFrame::Plan(FreeSpaceAllocator& allocator, bool mayGrow)
{
    RelocatingPlan result;
    S1StagesSave plan;
    {
        BusyCursor busy;
        plan = PlanS1StagesSave(setup_, loaded_, editor_->document().Stages(), codecs_, allocator,
                                mayGrow);
    }
    placements_ = plan.placements;
    result.patches = std::move(plan.patches);
    result.needsGrowth = plan.needsGrowth;
    result.error = std::move(plan.error);
    return result;
}

QStringList S1StagesFrame::Placements() const
{
    QStringList lines;
    for (const std::string& line : DescribeS1Placements(placements_, 0, 0))
        lines << FromBytes(line);
    return lines;
}

void S1StagesFrame::Saved(const Bytes& image)
{
    // What is in the file now is the new baseline: moved streams, new
    // pointers. The document already holds these stages.
    const S1StagesLoad now = LoadS1Stages(setup_, image, codecs_);
    if (now.ok())
        loaded_ = now;
    placements_.clear();
    editor_->setModified(false);
}

} // namespace zorp::ui

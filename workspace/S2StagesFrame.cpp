#include "S2StagesFrame.h"

#include <QLabel>
#include <QVBoxLayout>

#include "AppContext.h"
#include "FrameTag.h"
#include "specialstage/S2SpecialStage.h"

namespace zorp::ui {

S2StagesFrame::S2StagesFrame(AppContext& context, QWidget* parent)
    : EditorFrame(QStringLiteral("fraS2SS"), QStringLiteral("Special Stages"), parent),
      context_(context),
      editor_(new S2SpecialStage(context.platform, this)),
      status_(new QLabel(this))
{
    status_->setObjectName(QStringLiteral("lblS2StagesStatus"));
    status_->setAccessibleName(QStringLiteral("Special stages status"));
    status_->setWordWrap(true);
    status_->setVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(status_);
    layout->addWidget(editor_, 1);
}

S2StagesFrame::~S2StagesFrame() = default;

QSize S2StagesFrame::designedSize() const { return editor_->sizeHint().expandedTo(QSize(1060, 480)); }

void S2StagesFrame::Clear()
{
    EditorFrame::Clear();
    load_.reset();
    editor_->setDocument(S2StageDocument());
    editor_->setEnabled(false);
    status_->setVisible(false);
}

void S2StagesFrame::Setup(const S2SpecialStageSetup& setup)
{
    setup_ = setup;
    SetTag(this, QString::number(setup.layouts.pointer) + QLatin1Char('|') + QString::number(setup.objects.pointer));
}

std::optional<Message> S2StagesFrame::Load(const ByteSource& rom, const CodecCalls& codec)
{
    codecs_ = codec;
    S2SpecialStageLoad load = LoadS2SpecialStages(setup_, rom, codec);
    if (!load.ok()) {
        load_.reset();
        editor_->setDocument(S2StageDocument());
        editor_->setEnabled(false);
        status_->setText(QString::fromStdString(load.error->text()));
        status_->setVisible(true);
        return load.error;
    }
    editor_->setDocument(S2StageDocument(load.layouts, load.objects, load.team, load.alone));
    load_ = std::move(load);
    status_->setVisible(false);
    return std::nullopt;
}

bool S2StagesFrame::Modified() const { return editor_->StageModified(); }

void S2StagesFrame::SetModified(bool modified) { editor_->setStageModified(modified); }

void S2StagesFrame::Declare(FreeSpaceAllocator& allocator)
{
    if (load_)
        DeclareS2SpecialStages(setup_, *load_, allocator);
}

RelocatingPlan S2StagesFrame::Plan(FreeSpaceAllocator& allocator, bool mayGrow)
{
    const S2StageDocument& doc = editor_->document();
    BusyCursor busy;
    return ToRelocatingPlan(PlanS2SpecialStagesSave(setup_, *load_, doc.LayoutBytes(), doc.ObjectListBytes(),
                                                    doc.TeamRings(), doc.AloneRings(), codecs_, allocator, mayGrow),
                            placements_);
}

void S2StagesFrame::Saved(const Bytes& image)
{
    placements_.clear();
    SetModified(false);
    if (!load_)
        return;
    auto load = LoadS2SpecialStages(setup_, ImageSource(image), codecs_);
    if (load.ok())
        load_ = std::move(load);
}

} // namespace zorp::ui

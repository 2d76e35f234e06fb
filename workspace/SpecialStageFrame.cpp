#include "SpecialStageFrame.h"

#include <QFileInfo>
#include <QVBoxLayout>

#include <algorithm>

#include "AppContext.h"
#include "FrameTag.h"
#include "StageCodec.h"
#include "specialstage/S3SpecialStage.h"
#include "stage/S3SFile.h"
#include "template/StageBlock.h"
#include "TemplateModels.h"
#include "WorkspaceMessages.h"

namespace zorp::ui {

namespace {

// An S3S file is 416 or 544 bytes plus an optional comment; anything past
// this bound is not read.
constexpr uint64_t kMaxS3SFileRead = 1u << 20;

} // namespace

SpecialStageFrame::SpecialStageFrame(AppContext& context, QWidget* parent)
    : EditorFrame(QStringLiteral("fraS3S"), QStringLiteral("Special Stages"), parent),
      context_(context),
      editor_(new S3SpecialStage(context.platform, this))
{
    editor_->setObjectName(QStringLiteral("S3S"));
    editor_->setAccessibleName(QStringLiteral("Special stage editor"));
    SetTag(editor_, QString());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(editor_);
    layout->addStretch();
    connect(editor_, &S3SpecialStage::StageChanged, this, &SpecialStageFrame::StageChanged);
}

SpecialStageFrame::~SpecialStageFrame() = default;

QSize SpecialStageFrame::designedSize() const
{
    const QSize editor = editor_->sizeHint().expandedTo(editor_->minimumSize());
    return editor + QSize(8, 8);
}

void SpecialStageFrame::Clear()
{
    EditorFrame::Clear();
    SetTag(editor_, QString());
    store_ = StageStore();
    setup_ = S3SSetup();
    fileLoaded_ = false;
    storeComplete_ = true;
    editor_->PutStage(StageGrid{});
    editor_->setStageModified(false);
}

void SpecialStageFrame::Setup(const S3SSetup& setup)
{
    setup_ = setup;
    store_ = StageStore();
    editor_->setStages(setup.stages);
    editor_->setShowArrows(setup.extraProps);
    editor_->setEnableYellowSphere(setup.yellowSphere);
    editor_->setShowStageNumCombo(setup.multiStage);
    SetTag(this, FromBytes(FrameTag(setup)));
    SetTag(editor_, FromBytes(EditorTag(setup)));
}

void SpecialStageFrame::Setup(const S3SFileSetup& setup)
{
    setup_ = S3SSetup();
    store_ = StageStore();
    editor_->setStages(setup.stages);
    editor_->setShowArrows(setup.showArrows);
    editor_->setEnableYellowSphere(setup.enableYellowSphere);
    editor_->setEnableS3SFunctions(setup.enableS3SFunctions);
    editor_->setShowStageNumCombo(setup.showStageNumCombo);
    SetTag(this, FromBytes(FrameTag(setup)));
    SetTag(editor_, FromBytes(EditorTag(setup)));
}

bool SpecialStageFrame::fileMode() const { return TagOf(this) == QLatin1String("S3S"); }

bool SpecialStageFrame::Modified() const { return editor_->StageModified(); }
void SpecialStageFrame::SetModified(bool modified) { editor_->setStageModified(modified); }

SpecialStageFrame::LoadResult SpecialStageFrame::Load(const ByteSource& rom, const QString& romPath)
{
    LoadResult result;
    if (fileMode()) {
        fileLoaded_ = false;
        const Bytes file = rom.Read(0, static_cast<size_t>(std::min(rom.Size(), kMaxS3SFileRead)));
        switch (S3SFileKind(file)) {
        case kS3SKindV1:
            editor_->LoadV1SS(file);
            result.fileVersion = 1;
            fileLoaded_ = true;
            break;
        case kS3SKindV2:
            editor_->LoadV2SS(file, QFileInfo(romPath).fileName());
            result.fileVersion = 2;
            fileLoaded_ = true;
            break;
        default:
            context_.platform.messages->show(window(), {QStringLiteral("Invalid file"),
                                                        QStringLiteral("Error: Invalid S3S file"), Icon::Critical,
                                                        Buttons::Ok});
            break;
        }
        editor_->setStageModified(false);
        return result;
    }

    StageBlockLoad load = LoadStageBlock(setup_, rom, StageCodecCallsOf(context_.codec));
    // Stages that could not be read come out empty; the warning keeps an
    // empty grid from being mistaken for the game's stages.
    for (const Message& warning : load.warnings)
        ShowMessage(context_.platform, window(), warning);
    storeComplete_ = load.ok() && load.complete;
    if (load.ok()) {
        store_ = std::move(load.store);
    } else {
        ShowMessage(context_.platform, window(), *load.error);
        store_.Reset(1);
    }
    ShowStage(std::max(0, editor_->CurrentStage()));
    editor_->setStageModified(false);
    return result;
}

void SpecialStageFrame::StoreShownStage(int stage)
{
    std::optional<StartData> start;
    if (editor_->ShowArrows())
        start = editor_->GetArrowProperties();
    store_.StoreStage(stage, editor_->GetStage(), start);
}

void SpecialStageFrame::ShowStage(int stage)
{
    editor_->PutStage(store_.Grid(stage));
    if (editor_->ShowArrows())
        editor_->ArrowProperties(store_.Properties(stage));
}

void SpecialStageFrame::StageChanged(int oldStage, int newStage)
{
    if (fileMode() || !active())
        return;
    // Moving between stages is no edit: the flag stays as it was.
    const bool modified = editor_->StageModified();
    StoreShownStage(oldStage);
    if (newStage != oldStage)
        ShowStage(newStage);
    editor_->setStageModified(modified);
}

Bytes SpecialStageFrame::FileBytes(int version) const
{
    return version == 1 ? editor_->SaveV1SS() : editor_->SaveV2SS();
}

QString SpecialStageFrame::FileSaveRefusal(const ByteSource& target) const
{
    if (!fileLoaded_)
        return QStringLiteral("Nothing was written: the file was not read as a special stage file, so there is no "
                              "stage to save.");
    const uint64_t size = target.Size();
    const Bytes head = target.Read(0, static_cast<size_t>(std::min<uint64_t>(size, kS3SV1Size)));
    const int32_t kind = S3SFileKind(head);
    const uint64_t least = kind == kS3SKindV1 ? kS3SV1Size : kS3SV2Size;
    if ((kind != kS3SKindV1 && kind != kS3SKindV2) || size < least || size > kMaxS3SFileRead)
        return QStringLiteral("Nothing was written: the file is no longer a special stage file (%1 bytes), and "
                              "saving the stage would replace it.")
            .arg(size);
    return QString();
}

SpecialStageFrame::SavePlan SpecialStageFrame::PrepareSave(uint64_t fileSize)
{
    SavePlan plan;
    const int shown = editor_->CurrentStage();
    if (shown >= 0) {
        const bool modified = editor_->StageModified();
        StoreShownStage(shown);
        editor_->setStageModified(modified);
    }

    // Stages made up of zeros where the ROM could not be read are never
    // written: they would replace the game's stages with empty ones.
    if (!storeComplete_) {
        if (editor_->StageModified())
            context_.platform.messages->show(
                window(), {QStringLiteral("Special Stages Not Saved"),
                           QStringLiteral("The special stages could not be read completely from this ROM, so "
                                          "they are not saved: writing them back would replace the game's "
                                          "stages with empty ones."),
                           Icon::Critical, Buttons::Ok});
        return plan;
    }

    // A compressed block is only compressed again when the stages were
    // edited, and only when the user agrees to wait for it.
    if (setup_.compressed) {
        if (!editor_->StageModified())
            return plan;
        const Answer answer = context_.platform.messages->show(
            window(), ToRequest(CompressionQuestion(), Buttons::YesNo));
        if (answer != Answer::Yes)
            return plan;
    }

    StageBlockSave save;
    {
        BusyCursor busy;
        save = PlanStageBlockSave(setup_, store_.Block(), fileSize, StageCodecCallsOf(context_.codec));
    }
    if (!save.ok()) {
        ShowMessage(context_.platform, window(), *save.error);
        return plan;
    }
    plan.patch = Patch{save.write->offset, std::move(save.write->bytes)};
    plan.compressed = setup_.compressed;
    return plan;
}

void SpecialStageFrame::SaveWritten(const SavePlan& plan)
{
    if (!plan.patch)
        return;
    editor_->setStageModified(false);
    if (plan.compressed)
        ShowMessage(context_.platform, window(), StagesCompressedMessage());
}

} // namespace zorp::ui

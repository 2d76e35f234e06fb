#include "WavImporterFrame.h"

#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "AppContext.h"
#include "FrameTag.h"
#include "WorkspaceMessages.h"
#include "CoreMessage.h"
#include "TemplateModels.h"

namespace zorp::ui {

namespace {

// The importer whose sound was played last. The sound output is shared by
// every window, so an importer only stops playback that it started itself.
QPointer<WavImporterFrame> lastPlayer;

QByteArray ToByteArray(const Bytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

} // namespace

WavImporterFrame::WavImporterFrame(AppContext& context, QWidget* parent)
    : EditorFrame(QStringLiteral("fraWavImporter"), QStringLiteral("WAV Importer"), parent),
      context_(context),
      title_(new QLabel(QStringLiteral("WAV Importer (SEGA sound)"), this)),
      specs_(new QLabel(this)),
      source_(new QLabel(this)),
      import_(new QPushButton(QStringLiteral("Import new WAV..."), this)),
      play_(new QPushButton(QStringLiteral("Play Current WAV"), this))
{
    title_->setObjectName(QStringLiteral("lblWAVImporter"));
    title_->setAccessibleName(title_->text());
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    specs_->setObjectName(QStringLiteral("lblWavSpecs"));
    specs_->setAccessibleName(QStringLiteral("WAV requirements"));
    specs_->setWordWrap(true);
    source_->setObjectName(QStringLiteral("lblWavSource"));
    source_->setAccessibleName(QStringLiteral("Current sound"));
    import_->setObjectName(QStringLiteral("cmdImportWAV"));
    import_->setAccessibleName(import_->text());
    play_->setObjectName(QStringLiteral("cmdPlay"));
    play_->setAccessibleName(play_->text());

    title_->setGeometry(8, 8, 364, 20);
    specs_->setGeometry(8, 32, 364, 40);
    source_->setGeometry(8, 74, 364, 20);
    import_->setGeometry(8, 104, 176, 30);
    play_->setGeometry(196, 104, 176, 30);

    connect(import_, &QPushButton::clicked, this, &WavImporterFrame::ImportClicked);
    connect(play_, &QPushButton::clicked, this, &WavImporterFrame::PlayClicked);
}

WavImporterFrame::~WavImporterFrame() = default;

void WavImporterFrame::Clear()
{
    StopPlayback();
    EditorFrame::Clear();
    sample_.reset();
    modified_ = false;
    specs_->clear();
    source_->clear();
}

void WavImporterFrame::Setup(const WavSetup& setup)
{
    StopPlayback();
    sample_ = std::make_unique<WavSample>(setup);
    SetTag(this, FromBytes(FrameTag(setup)));
    specs_->setText(FromBytes(sample_->SpecsLabel()));
    source_->clear();
}

void WavImporterFrame::LoadFromRom(const ByteSource& rom)
{
    if (!sample_)
        return;
    // The sound still playing was made from the image about to be replaced.
    StopPlayback();
    sample_->LoadFromRom(rom);
    modified_ = false;
    ShowSource(QStringLiteral("Current sound: the ROM's own sample."));
}

void WavImporterFrame::ImportClicked()
{
    if (!sample_)
        return;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = QStringLiteral("Select WAV File");
    request.filter = QStringLiteral("WAV Files (*.WAV)|*.WAV");
    request.mustExist = true;
    const FileDialogResult chosen = context_.platform.files->run(window(), request);
    if (!chosen.accepted)
        return;
    FileSource file(ToNativePath(chosen.path));
    if (!file.IsOpen()) {
        ShowFileError(context_.platform, window(), QStringLiteral("Cannot Read WAV"), chosen.path,
                      QStringLiteral("The file cannot be opened."));
        return;
    }
    StopPlayback();
    sample_->LoadFromWavFile(file);
    modified_ = true;
    ShowSource(QStringLiteral("Current sound: imported from %1 (not saved yet).")
                   .arg(QFileInfo(chosen.path).fileName()));
}

void WavImporterFrame::PlayClicked()
{
    if (!sample_ || sample_->Preview().empty())
        return;
    lastPlayer = this;
    // The sound output keeps its own (shared) copy of the image while it plays.
    context_.platform.sound->play(previewImage());
}

void WavImporterFrame::StopPlayback()
{
    if (lastPlayer == this) {
        lastPlayer = nullptr;
        if (context_.platform.sound && context_.platform.sound->isPlaying())
            context_.platform.sound->stop();
    }
}

QByteArray WavImporterFrame::previewImage() const
{
    return sample_ ? ToByteArray(sample_->Preview()) : QByteArray();
}

std::optional<Patch> WavImporterFrame::SamplePatch(uint64_t fileSize) const
{
    if (!sample_)
        return std::nullopt;
    std::optional<ByteWrite> write = sample_->PlanWrite(fileSize);
    if (!write)
        return std::nullopt;
    return Patch{write->offset, std::move(write->bytes)};
}

void WavImporterFrame::ShowSource(const QString& text)
{
    source_->setText(text);
}

} // namespace zorp::ui

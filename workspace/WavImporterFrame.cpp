#include "WavImporterFrame.h"

#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include "AppContext.h"
#include "FrameTag.h"
#include "WaveformView.h"
#include "WorkspaceMessages.h"
#include "CoreMessage.h"
#include "TemplateModels.h"
#include "audio/AudioDecoder.h"
#include "audio/SoundImport.h"
#include "audio/WavWriter.h"

namespace zorp::ui {

namespace {

// The importer whose sound was played last. The sound output is shared by
// every window, so an importer only stops playback that it started itself.
QPointer<WavImporterFrame> lastPlayer;

// The plain WAV filter comes first, as it always did; the others are the
// kinds the converter reads.
const QString kSoundFilter = QStringLiteral(
    "WAV Files (*.WAV)|*.WAV|AIFF Files (*.AIF;*.AIFF)|*.AIF;*.AIFF|FLAC Files (*.FLAC)|*.FLAC|"
    "Ogg Vorbis Files (*.OGG)|*.OGG|All Sound Files|*.WAV;*.AIF;*.AIFF;*.FLAC;*.OGG");

QString Secs(double seconds) { return FromBytes(Seconds(seconds)); }

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
      play_(new QPushButton(QStringLiteral("Play Current WAV"), this)),
      export_(new QPushButton(QStringLiteral("Export WAV..."), this)),
      waveform_(new WaveformView(this)),
      length_(new QLabel(this))
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
    source_->setWordWrap(true);
    length_->setObjectName(QStringLiteral("lblWavLength"));
    length_->setAccessibleName(QStringLiteral("Sound length"));
    export_->setObjectName(QStringLiteral("cmdExportWAV"));
    export_->setAccessibleName(export_->text());
    import_->setObjectName(QStringLiteral("cmdImportWAV"));
    import_->setAccessibleName(import_->text());
    play_->setObjectName(QStringLiteral("cmdPlay"));
    play_->setAccessibleName(play_->text());

    title_->setGeometry(8, 8, 364, 20);
    specs_->setGeometry(8, 32, 364, 40);
    source_->setGeometry(8, 72, 364, 50);
    waveform_->setGeometry(8, 126, 364, 100);
    length_->setGeometry(8, 230, 364, 20);
    import_->setGeometry(8, 258, 116, 30);
    play_->setGeometry(132, 258, 116, 30);
    export_->setGeometry(256, 258, 116, 30);

    connect(import_, &QPushButton::clicked, this, &WavImporterFrame::ImportClicked);
    connect(play_, &QPushButton::clicked, this, &WavImporterFrame::PlayClicked);
    connect(export_, &QPushButton::clicked, this, &WavImporterFrame::ExportClicked);
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
    length_->clear();
    waveform_->setSamples({}, 0);
}

void WavImporterFrame::Setup(const WavSetup& setup)
{
    StopPlayback();
    sample_ = std::make_unique<WavSample>(setup);
    SetTag(this, FromBytes(FrameTag(setup)));
    specs_->setText(FromBytes(sample_->SpecsLabel()));
    source_->clear();
    length_->clear();
    waveform_->setSamples({}, 0);
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
    ShowSample(sample_->Samples().size());
}

void WavImporterFrame::ImportClicked()
{
    if (!sample_)
        return;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = QStringLiteral("Select WAV File");
    request.filter = kSoundFilter;
    request.mustExist = true;
    const FileDialogResult chosen = context_.platform.files->run(window(), request);
    if (!chosen.accepted)
        return;
    const std::string path = ToNativePath(chosen.path);
    const auto size = FileSize(path);
    const auto file = size && *size <= kMaxSoundFileSize ? ReadFileBytes(path, kMaxSoundFileSize) : std::nullopt;
    if (!file) {
        ShowFileError(context_.platform, window(), QStringLiteral("Cannot Read WAV"), chosen.path,
                      size ? QStringLiteral("The file cannot be read, or it is larger than 64 MiB.")
                           : QStringLiteral("The file cannot be opened."));
        return;
    }
    const WavSetup& setup = sample_->Setup();
    const SoundImport import = ImportSound(*file, setup.frequency, static_cast<size_t>(setup.length));
    if (!import.ok()) {
        ShowFileError(context_.platform, window(), QStringLiteral("Cannot Import Sound"), chosen.path,
                      FromBytes(import.error));
        return;
    }
    if (import.tooLong) {
        const Answer cut = context_.platform.messages->show(
            window(), {QStringLiteral("Sound Too Long"),
                       QStringLiteral("The sound lasts %1; the game has room for %2.\nCut it to its first %2?")
                           .arg(Secs(import.soundSeconds), Secs(import.roomSeconds)),
                       Icon::Question, Buttons::YesNo});
        if (cut != Answer::Yes)
            return;
    }
    StopPlayback();
    sample_->LoadSamples(import.samples);
    modified_ = true;
    ShowSource(QStringLiteral("Current sound: imported from %1 (not saved yet): %2.")
                   .arg(QFileInfo(chosen.path).fileName(), FromBytes(DescribeImport(import))));
    ShowSample(import.samples.size());
}

void WavImporterFrame::ExportClicked()
{
    if (!sample_ || sample_->Preview().empty())
        return;
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Save;
    request.title = QStringLiteral("Export WAV");
    request.filter = QStringLiteral("WAV Files (*.WAV)|*.WAV");
    request.confirmOverwrite = true;
    const FileDialogResult chosen = context_.platform.files->run(window(), request);
    if (!chosen.accepted || chosen.path.isEmpty())
        return;
    const Bytes wav = BuildPlainWav(sample_->Samples(), static_cast<uint32_t>(sample_->Setup().frequency));
    const std::string error = WriteFileBytes(ToNativePath(chosen.path), wav);
    if (!error.empty())
        ShowFileError(context_.platform, window(), QStringLiteral("Cannot Write WAV"), chosen.path, FromBytes(error));
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
    std::optional<Patch> write = sample_->PlanWrite(fileSize);
    if (!write)
        return std::nullopt;
    return Patch{write->offset, std::move(write->bytes)};
}

void WavImporterFrame::ShowSource(const QString& text)
{
    source_->setText(text);
}

void WavImporterFrame::ShowSample(size_t soundLength)
{
    const Bytes samples = sample_->Samples();
    waveform_->setSamples(samples, soundLength);
    const double rate = sample_->Setup().frequency;
    const double room = static_cast<double>(samples.size()) / rate;
    const double sound = static_cast<double>(std::min(soundLength, samples.size())) / rate;
    length_->setText(QStringLiteral("Sound %1 of %2 room, %3 left")
                         .arg(Secs(sound), Secs(room), Secs(room - sound)));
}

} // namespace zorp::ui

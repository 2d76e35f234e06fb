#pragma once
// fraWavImporter: replaces the game's sampled sound with a sound file of any
// common kind (converted to the game's unsigned 8-bit mono at its rate, see
// core/audio/SoundImport.h), shows it as a waveform, plays it and exports it
// as a WAV file. The sound is held as a complete WAV image in memory
// (WavSample's preview image); nothing touches the ROM until the workspace
// saves.
#include <QByteArray>

#include <memory>
#include <optional>
#include <string>

#include "EditorFrame.h"
#include "rom/Bytes.h"
#include "TemplateModels.h"

class QLabel;
class QPushButton;

namespace zorp {
class ByteSource;
class WavSample;
} // namespace zorp

namespace zorp::ui {

struct AppContext;
class WaveformView;

class WavImporterFrame : public EditorFrame {
    Q_OBJECT
public:
    WavImporterFrame(AppContext& context, QWidget* parent);
    ~WavImporterFrame() override;

    QSize designedSize() const override { return {380, 300}; }
    void Clear() override;

    void Setup(const WavSetup& setup);
    // Rebuilds the preview image from the ROM's sample.
    void LoadFromRom(const ByteSource& rom);
    // The sample bytes to write; nullopt when nothing is loaded or the sample
    // would reach past the end of a file of fileSize bytes.
    std::optional<Patch> SamplePatch(uint64_t fileSize) const;

    // True after a WAV file was imported and not yet saved or reloaded.
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

    // The current sound as a WAV image (empty before the first load).
    QByteArray previewImage() const;
    // Stops the sound if this importer started the one playing.
    void StopPlayback();

private:
    void ImportClicked();
    void PlayClicked();
    void ExportClicked();
    void ShowSource(const QString& text);
    // Waveform and length line from the preview image; soundLength of its
    // samples are the sound, the rest padding.
    void ShowSample(size_t soundLength);

    AppContext& context_;
    QLabel* title_;
    QLabel* specs_;
    QLabel* source_;
    QPushButton* import_;
    QPushButton* play_;
    QPushButton* export_;
    WaveformView* waveform_;
    QLabel* length_;
    std::unique_ptr<WavSample> sample_;
    bool modified_ = false;
};

} // namespace zorp::ui

#pragma once
// picWaveform: the WAV importer's picture of the current sample, one column
// per slice of samples (its lowest and highest value), the sound in blue and
// the silence that pads it to the room in grey.
#include <QWidget>

#include "rom/Bytes.h"

namespace zorp::ui {

class WaveformView : public QWidget {
    Q_OBJECT
public:
    explicit WaveformView(QWidget* parent = nullptr);

    // samples: the whole room; used: how many of them are the sound itself.
    void setSamples(const zorp::Bytes& samples, size_t used);
    const zorp::Bytes& samples() const { return samples_; }
    size_t used() const { return used_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    zorp::Bytes samples_;
    size_t used_ = 0;
};

} // namespace zorp::ui

#include "WaveformView.h"

#include <QPainter>

#include <algorithm>

namespace zorp::ui {

WaveformView::WaveformView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picWaveform"));
    setAccessibleName(QStringLiteral("Waveform"));
}

void WaveformView::setSamples(const zorp::Bytes& samples, size_t used)
{
    samples_ = samples;
    used_ = std::min(used, samples.size());
    update();
}

void WaveformView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(250, 251, 253));
    p.setPen(QColor(170, 178, 192));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const int w = width() - 2;
    const int h = height() - 2;
    const double mid = 1 + h / 2.0;
    p.setPen(QColor(210, 215, 225));
    p.drawLine(QPointF(1, mid), QPointF(w, mid));
    if (samples_.empty() || w <= 0)
        return;
    // Unsigned 8-bit: 0x80 is the middle line, 0 and 255 the edges.
    auto y = [&](uint8_t value) { return 1 + (255 - value) * (h - 1) / 255.0; };
    const size_t count = samples_.size();
    for (int x = 0; x < w; ++x) {
        const size_t from = count * static_cast<size_t>(x) / static_cast<size_t>(w);
        const size_t to = std::max(from + 1, count * static_cast<size_t>(x + 1) / static_cast<size_t>(w));
        const auto [low, high] = std::minmax_element(samples_.begin() + static_cast<std::ptrdiff_t>(from),
                                                     samples_.begin() + static_cast<std::ptrdiff_t>(std::min(to, count)));
        p.setPen(from < used_ ? QColor(30, 90, 200) : QColor(175, 180, 190));
        p.drawLine(QPointF(1 + x + 0.5, y(*high)), QPointF(1 + x + 0.5, y(*low)));
    }
}

} // namespace zorp::ui

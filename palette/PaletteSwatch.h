#pragma once
// optPal_i: one colour swatch of the palette editor. A checkable button that
// shows its colour; the editor keeps them in one exclusive group, so exactly
// one swatch is the selected one. The arrow keys ask the editor for the
// neighbouring swatch.
#include <QAbstractButton>
#include <QColor>

namespace zorp::ui {

class PaletteSwatch : public QAbstractButton {
    Q_OBJECT
public:
    PaletteSwatch(int index, QWidget* parent = nullptr);

    int index() const { return index_; }
    QColor color() const { return color_; }
    void setColor(const QColor& color);

    QSize sizeHint() const override { return {16, 16}; }

signals:
    void arrowPressed(int key);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int index_;
    QColor color_ = Qt::black;
};

} // namespace zorp::ui

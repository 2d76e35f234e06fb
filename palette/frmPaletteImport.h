#pragma once
// The palette import dialog: shows the colours read from a palette file, lets
// the user choose which line of the palette (or the whole palette) receives
// them and how many are taken, and says before anything changes how many
// colours the snapping to the palette's colour format will move. The editor
// applies the result as one undo step.
#include <QDialog>
#include <vector>

#include "palette/PaletteImport.h"

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace zorp::ui {

class ColorStrip;

class frmPaletteImport : public QDialog {
    Q_OBJECT
public:
    // fileColors: as read from the file; palette: the colours on show, which
    // the import partly replaces. line: the line preselected (-1 whole).
    frmPaletteImport(const QString& fileDescription, std::vector<zorp::ScreenColor> fileColors,
                     std::vector<zorp::ScreenColor> palette, zorp::PaletteFormat format, int line,
                     QWidget* parent = nullptr);

    // The target: -1 for the whole palette, else a line.
    int line() const;
    void setLine(int line);
    int count() const;
    void setCount(int count);
    // The import the dialog shows now (what OK applies).
    const zorp::PaletteImport& result() const { return result_; }

private:
    void targetChanged();
    void update();

    std::vector<zorp::ScreenColor> fileColors_;
    std::vector<zorp::ScreenColor> palette_;
    zorp::PaletteFormat format_;
    zorp::PaletteImport result_;

    QLabel* lblSource_ = nullptr;
    ColorStrip* picFile_ = nullptr;
    QComboBox* cboTarget_ = nullptr;
    QSpinBox* spnCount_ = nullptr;
    QLabel* lblSnapping_ = nullptr;
    ColorStrip* picResult_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
    QPushButton* cmdImport_ = nullptr;
};

// A row of colour squares (16 to a row), for the dialog's previews.
class ColorStrip : public QWidget {
    Q_OBJECT
public:
    explicit ColorStrip(QWidget* parent = nullptr) : QWidget(parent) {}
    void setColors(std::vector<zorp::ScreenColor> colors, int highlightStart = 0, int highlightCount = 0);
    const std::vector<zorp::ScreenColor>& colors() const { return colors_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<zorp::ScreenColor> colors_;
    int highlightStart_ = 0;
    int highlightCount_ = 0;
};

} // namespace zorp::ui

#include "palette/frmPaletteImport.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace zorp::ui {

namespace {

constexpr int kCell = 14;
constexpr int kPerRow = 16;

QString FormatGrid(zorp::PaletteFormat format)
{
    return format == zorp::PaletteFormat::Genesis ? QStringLiteral("Genesis colour grid (8 levels a channel)")
                                                  : QStringLiteral("15-bit colour grid (32 levels a channel)");
}

} // namespace

void ColorStrip::setColors(std::vector<zorp::ScreenColor> colors, int highlightStart, int highlightCount)
{
    colors_ = std::move(colors);
    highlightStart_ = highlightStart;
    highlightCount_ = highlightCount;
    updateGeometry();
    update();
}

QSize ColorStrip::sizeHint() const
{
    const int rows = std::max<int>(1, static_cast<int>((colors_.size() + kPerRow - 1) / kPerRow));
    return {kPerRow * kCell + 1, rows * kCell + 1};
}

void ColorStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (size_t i = 0; i < colors_.size(); ++i) {
        const QRect cell(static_cast<int>(i % kPerRow) * kCell, static_cast<int>(i / kPerRow) * kCell, kCell, kCell);
        painter.fillRect(cell, QColor(colors_[i].r, colors_[i].g, colors_[i].b));
        painter.setPen(QColor(96, 96, 96));
        painter.drawRect(cell);
    }
    // The colours the import replaces are marked, black and white so the
    // mark shows on any colour.
    for (int i = highlightStart_; i < highlightStart_ + highlightCount_ && i < static_cast<int>(colors_.size()); ++i) {
        const QPoint centre((i % kPerRow) * kCell + kCell / 2, (i / kPerRow) * kCell + kCell / 2);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawEllipse(centre, 3, 3);
        painter.setBrush(Qt::white);
        painter.drawEllipse(centre, 2, 2);
    }
}

frmPaletteImport::frmPaletteImport(const QString& fileDescription, std::vector<zorp::ScreenColor> fileColors,
                                   std::vector<zorp::ScreenColor> palette, zorp::PaletteFormat format, int line,
                                   QWidget* parent)
    : QDialog(parent), fileColors_(std::move(fileColors)), palette_(std::move(palette)), format_(format)
{
    setObjectName(QStringLiteral("frmPaletteImport"));
    setWindowTitle(QStringLiteral("Import Palette"));
    setAccessibleName(windowTitle());

    lblSource_ = new QLabel(QStringLiteral("%1 colours in %2:").arg(fileColors_.size()).arg(fileDescription), this);
    lblSource_->setObjectName(QStringLiteral("lblSource"));
    lblSource_->setAccessibleName(lblSource_->text());
    lblSource_->setWordWrap(true);
    picFile_ = new ColorStrip(this);
    picFile_->setObjectName(QStringLiteral("picFileColours"));
    picFile_->setAccessibleName(QStringLiteral("Colours in the file"));
    picFile_->setColors(fileColors_);

    cboTarget_ = new QComboBox(this);
    cboTarget_->setObjectName(QStringLiteral("cboTarget"));
    cboTarget_->setAccessibleName(QStringLiteral("Into"));
    const int size = static_cast<int>(palette_.size());
    cboTarget_->addItem(QStringLiteral("The whole palette (colours 0 to %1)").arg(size - 1), -1);
    for (int l = 0; l < zorp::PaletteLineCount(size); ++l)
        cboTarget_->addItem(QStringLiteral("Line %1 (colours %2 to %3)")
                                .arg(l)
                                .arg(l * zorp::kColorsPerLine)
                                .arg(std::min(size, (l + 1) * zorp::kColorsPerLine) - 1),
                            l);
    spnCount_ = new QSpinBox(this);
    spnCount_->setObjectName(QStringLiteral("spnCount"));
    spnCount_->setAccessibleName(QStringLiteral("Colours taken"));
    spnCount_->setToolTip(QStringLiteral("How many colours are taken from the start of the file."));

    lblSnapping_ = new QLabel(this);
    lblSnapping_->setObjectName(QStringLiteral("lblSnapping"));
    lblSnapping_->setWordWrap(true);
    picResult_ = new ColorStrip(this);
    picResult_->setObjectName(QStringLiteral("picResult"));
    picResult_->setAccessibleName(QStringLiteral("The palette after the import"));

    buttons_ = new QDialogButtonBox(this);
    buttons_->setObjectName(QStringLiteral("dlgButtons"));
    buttons_->setAccessibleName(QStringLiteral("Import or cancel"));
    cmdImport_ = buttons_->addButton(QStringLiteral("Import"), QDialogButtonBox::AcceptRole);
    cmdImport_->setObjectName(QStringLiteral("cmdImport"));
    cmdImport_->setAccessibleName(QStringLiteral("Import"));
    cmdImport_->setDefault(true);
    QPushButton* cancel = buttons_->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setAccessibleName(QStringLiteral("Cancel"));
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Into:"), cboTarget_);
    form->addRow(QStringLiteral("&Colours taken:"), spnCount_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSource_);
    layout->addWidget(picFile_);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("The palette after the import (the new colours dotted):"), this));
    layout->addWidget(picResult_);
    layout->addWidget(lblSnapping_);
    layout->addWidget(buttons_);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cboTarget_, &QComboBox::currentIndexChanged, this, &frmPaletteImport::targetChanged);
    connect(spnCount_, &QSpinBox::valueChanged, this, &frmPaletteImport::update);
    setLine(line);
    targetChanged();
}

int frmPaletteImport::line() const { return cboTarget_->currentData().toInt(); }

void frmPaletteImport::setLine(int line)
{
    const int index = cboTarget_->findData(line);
    cboTarget_->setCurrentIndex(index < 0 ? 0 : index);
}

int frmPaletteImport::count() const { return spnCount_->value(); }
void frmPaletteImport::setCount(int count) { spnCount_->setValue(count); }

void frmPaletteImport::targetChanged()
{
    // A new target takes as many colours as fit it.
    const int room =
        zorp::ImportRoom(static_cast<int>(palette_.size()), line(), static_cast<int>(fileColors_.size()));
    const QSignalBlocker quiet(spnCount_);
    spnCount_->setRange(std::min(1, room), room);
    spnCount_->setValue(room);
    update();
}

void frmPaletteImport::update()
{
    result_ = zorp::PlaceImportedColors(palette_, fileColors_, format_, {line(), count()});
    cmdImport_->setEnabled(result_.ok());
    if (!result_.ok()) {
        lblSnapping_->setText(QString::fromStdString(result_.error));
        picResult_->setColors(palette_);
    } else {
        lblSnapping_->setText(
            result_.snapped == 0
                ? QStringLiteral("Every colour taken lies on the %1 already.").arg(FormatGrid(format_))
                : QStringLiteral("%1 of the %2 colours taken change to fit the %3.")
                      .arg(result_.snapped)
                      .arg(result_.placed)
                      .arg(FormatGrid(format_)));
        picResult_->setColors(result_.colors, result_.start, result_.placed);
    }
    lblSnapping_->setAccessibleName(lblSnapping_->text());
}

} // namespace zorp::ui

#include "PaletteFrame.h"

#include <QVBoxLayout>

#include "AppContext.h"
#include "FrameTag.h"
#include "palette/PalEdit.h"

namespace zorp::ui {

PaletteFrame::PaletteFrame(AppContext& context, QWidget* parent)
    : EditorFrame(QStringLiteral("fraPalEdit"), QStringLiteral("Palette"), parent),
      editor_(new PalEdit(context.platform, this))
{
    editor_->setObjectName(QStringLiteral("PalEdit"));
    editor_->setAccessibleName(QStringLiteral("Palette editor"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(editor_);
}

PaletteFrame::~PaletteFrame() = default;

QSize PaletteFrame::designedSize() const
{
    return editor_->sizeHint().expandedTo(editor_->minimumSize()).expandedTo(QSize(320, 240));
}

void PaletteFrame::Clear()
{
    EditorFrame::Clear();
    editor_->setFilename(QString());
    editor_->PaletteList({}, {}, {});
    editor_->setPaletteModified(false);
}

void PaletteFrame::Setup(const PaletteSetup& setup)
{
    SetTag(this, FromBytes(FrameTag(setup)));
    QStringList names;
    QList<qint64> addresses;
    QList<int> counts;
    for (const PaletteEntry& entry : setup.palettes) {
        names << FromBytes(entry.description);
        addresses << entry.address;
        counts << entry.count;
    }
    // No file yet: the table is shown without colours until the ROM is loaded.
    editor_->setFilename(QString());
    editor_->LoadColors(setup.largestCount);
    editor_->PaletteList(names, addresses, counts);
    editor_->setPaletteType(setup.paletteType);
    editor_->setPaletteModified(false);
}

void PaletteFrame::Load(const QString& romFile)
{
    editor_->setFilename(romFile);
    editor_->RestorePalette();
}

bool PaletteFrame::Modified() const { return editor_->PaletteModified(); }

bool PaletteFrame::MaybeSave() { return editor_->MaybeSave(); }

} // namespace zorp::ui

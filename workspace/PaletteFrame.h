#pragma once
// fraPalEdit: hosts the palette editor control PalEdit, which reads the
// palette words from the ROM file itself. The workspace hands it the
// template's palette list and colour format and the ROM path after loading;
// the editor's changes reach the file as a patch of the workspace's one save.
#include "EditorFrame.h"
#include "TemplateModels.h"

namespace zorp::ui {

struct AppContext;
class PalEdit;

class PaletteFrame : public EditorFrame {
    Q_OBJECT
public:
    PaletteFrame(AppContext& context, QWidget* parent);
    ~PaletteFrame() override;

    QSize designedSize() const override;
    bool stretches() const override { return true; }
    void Clear() override;

    void Setup(const PaletteSetup& setup);
    // Points the editor at the ROM file and shows the selected palette from it.
    void Load(const QString& romFile);
    bool Modified() const;
    // Asks "Save Palette" when there are unsaved edits; false when the user
    // cancelled or the palette could not be written.
    bool MaybeSave();

    PalEdit* editor() const { return editor_; }

private:
    PalEdit* editor_;
};

} // namespace zorp::ui

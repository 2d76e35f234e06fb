#pragma once
// fraPalEdit: hosts the palette editor control PalEdit, which reads and
// writes the palette words in the ROM file itself. The workspace hands it the
// template's palette list and colour format, the ROM path after loading, and
// asks it to save after its own write.
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
    // Writes the palette being shown into the ROM file; false (the editor
    // has said why) when it could not.
    bool Save();
    // Asks "Save Palette" when there are unsaved edits; false when the user
    // cancelled or the palette could not be written.
    bool MaybeSave();

    PalEdit* editor() const { return editor_; }

private:
    PalEdit* editor_;
};

} // namespace zorp::ui

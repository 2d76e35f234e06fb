#pragma once
// PalEdit: the palette editor control. It lists the palettes a template names,
// shows the selected one as a grid of swatches (16 per row), and edits the
// selected swatch with three channel sliders. Palettes are read from and
// written to the ROM file named by Filename, at the positions of the table.
//
// Colour changes are undo commands on undoStack(); consecutive changes of the
// same swatch merge into one. PaletteModified is true while the stack is away
// from its clean state (or after the host sets it true); setting it false
// marks the stack clean. Showing a palette (a new table, another row, a
// reload) starts a new undo history.
//
// Palettes also come from and go to files (Genesis words, JASC-PAL, GIMP,
// PNG; palette/PalettePng.h): Import runs the import dialog (which line, how
// many colours, what the snapping changes) and applies it as one edit; Copy
// Line and Paste Line carry the selected swatch's line through the clipboard
// as JASC-PAL text. The arrow keys move between swatches; each channel can be
// typed in its spin box.
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "palette/PaletteWord.h"
#include "rom/Bytes.h"
#include "platform/Platform.h"

class QAction;
class QListWidget;
class QPushButton;
class QSpinBox;
class QMenu;
class QScrollBar;
class QSlider;
class QButtonGroup;
class QUndoStack;

namespace zorp::ui {

class ChannelLabel;
class PaletteSwatch;
class frmPaletteImport;

class PalEdit : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int PaletteType READ PaletteType WRITE setPaletteType)
    Q_PROPERTY(QString Filename READ Filename WRITE setFilename)
    Q_PROPERTY(bool PaletteModified READ PaletteModified WRITE setPaletteModified NOTIFY PaletteModifiedChanged)

public:
    // Runs the channel switch menu at a screen position and returns the item
    // chosen (nullptr when closed without a choice). Replaceable for tests.
    using MenuRunner = std::function<QAction*(QMenu* menu, QPoint globalPosition)>;

    // Runs the import dialog; true when the user chose Import. Replaceable for tests.
    using ImportDialogRunner = std::function<bool(frmPaletteImport& dialog)>;

    explicit PalEdit(QWidget* parent = nullptr);
    explicit PalEdit(const Platform& platform, QWidget* parent = nullptr);
    ~PalEdit() override;

    void setPlatform(const Platform& platform) { platform_ = platform; }
    void setMenuRunner(MenuRunner runner);
    void setImportDialogRunner(ImportDialogRunner runner);
    QUndoStack* undoStack() const { return undo_; }

    // Creates swatches 0 .. maximum - 1 (the largest entry count of all
    // palettes), all black, at most 4096. A palette with more entries than
    // there are swatches shows and saves only those that fit.
    void LoadColors(int maximum);
    // Stores the palette table (three parallel lists; rows beyond the
    // shortest list are dropped) and shows row 0. Never counts as an edit.
    void PaletteList(const QStringList& names, const QList<qint64>& addresses, const QList<int>& counts);

    int PaletteType() const { return paletteType_; }
    // Stores the format code and rescales the sliders (UpdatePaletteType).
    void setPaletteType(int type);
    void UpdatePaletteType();

    QString Filename() const { return filename_; }
    void setFilename(const QString& path) { filename_ = path; }

    // Shows the palette of the selected row from the file. False (with a
    // message) when the file cannot be read; the swatches then stay hidden.
    bool RestorePalette();
    // Writes the shown swatches as the palette of the selected row (or of
    // the previous row). False (with a message, PaletteModified kept) when the
    // file cannot be written or the row is not the one on screen. True when
    // there is nothing to write (no file).
    bool SavePalette(bool usePreviousRow = false);

    bool PaletteModified() const;
    void setPaletteModified(bool modified);

    // The palette on show as a patch of the file, when it holds unsaved
    // edits; nullopt when there is nothing to write or it cannot be placed.
    std::optional<zorp::Patch> PendingPatch() const;

    // Where saves go. By default the editor writes its file itself (its use
    // on its own); a host that owns the file, like the workspace, takes the
    // patch instead and writes it through its own save, reporting any
    // failure itself. The handler returns true when the patch was written.
    using SaveHandler = std::function<bool(const zorp::Patch&)>;
    void setSaveHandler(SaveHandler handler) { saveHandler_ = std::move(handler); }

    // The "Save Palette" question when there are unsaved edits: Yes saves,
    // No discards. False when the user cancels or the save fails.
    bool MaybeSave();

    // Index of the selected swatch, -1 for none.
    int SelectedSwatch() const;
    // Its line (16 colours), -1 for none.
    int SelectedLine() const;
    // The colours on show.
    std::vector<zorp::ScreenColor> Colors() const { return shownColors(); }

    // Import...: asks for a palette file, then ImportPaletteFile.
    bool ImportPalette();
    // Reads the file, runs the import dialog (the selected swatch's line
    // preselected) and applies its choice as one edit. False when nothing
    // changed: a bad file (said in a message), Cancel, or no palette on show.
    bool ImportPaletteFile(const QString& path);
    // Export...: asks for a file name (the format follows its extension, or
    // the filter chosen), then ExportPaletteFile.
    bool ExportPalette();
    bool ExportPaletteFile(const QString& path);
    // The selected swatch's line to the clipboard, as JASC-PAL text.
    void CopyLine();
    // Palette text from the clipboard (JASC-PAL or GIMP) into the selected
    // swatch's line, as one edit. False (with a message) when the clipboard
    // holds no palette.
    bool PasteLine();
    // Number of swatches the shown palette uses.
    int ShownCount() const { return shownCount_; }

signals:
    void PaletteModifiedChanged(bool modified);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class ChangeSwatchColorCommand;
    friend class ReplaceColorsCommand;

    void buildWidgets();
    void createGrid();
    void layoutWidgets();
    void layoutSwatches();
    zorp::PaletteFormat format() const { return zorp::PaletteFormatFromType(paletteType_); }
    std::vector<zorp::ScreenColor> shownColors() const;

    void onRowChanged(int row);
    void onSwatchClicked(int index);
    void onSliderMoved();
    void onScrolled(int value);
    void openSwitchMenu(int channel, QPoint globalPosition);
    void switchChannels(int source, int chosen);

    // Sliders, labels and preview from a swatch, without recolouring it.
    void showSwatchInSliders(int index);
    void setSlidersQuietly(const zorp::SliderPositions& positions);
    zorp::SliderPositions sliderPositions() const;
    void updateLabelsAndPreview();
    // Gives the selected swatch the colour of the sliders, as one edit.
    void recolourFromSliders(const QString& text, bool mergeable);
    void selectSwatchQuietly(int index);
    void applySwatchColor(int index, uint32_t colorValue);
    // Colours start, start + 1, ... as one undoable edit named text.
    void replaceColors(int start, const std::vector<zorp::ScreenColor>& colors, const QString& text);
    void applyColors(int start, const std::vector<uint32_t>& values);
    // Arrow keys on a swatch: the neighbour in that direction is selected.
    void moveSelection(int key);
    void selectAndShow(int index);
    // Only the selected swatch is a tab stop, so Tab reaches the grid once.
    void updateTabStop();

    void hideAllSwatches();
    void startNewHistory();
    void notifyModified();
    bool rowInTable(int row) const { return row >= 0 && row < names_.size(); }
    Answer ask(const MessageRequest& request);

    Platform platform_;
    MenuRunner runMenu_;
    ImportDialogRunner runImport_;

    QString filename_;
    SaveHandler saveHandler_;
    int paletteType_ = 0;
    QStringList names_;
    QList<qint64> addresses_;
    QList<int> counts_;
    int previousRow_ = -1;
    int shownCount_ = 0;
    int switchSource_ = 0;
    bool baseModified_ = false;
    bool reportedModified_ = false;
    bool quiet_ = false;       // slider changes made by the editor itself
    bool changingRow_ = false; // list changes made by the editor itself

    QUndoStack* undo_ = nullptr;
    QListWidget* list_ = nullptr;
    QWidget* gridWindow_ = nullptr; // picPalette2
    QWidget* grid_ = nullptr;       // picPalette
    QScrollBar* scroll_ = nullptr;  // vscPalette
    QButtonGroup* swatchGroup_ = nullptr;
    std::vector<PaletteSwatch*> swatches_;
    QWidget* settings_ = nullptr; // picColorSettings
    std::array<QSlider*, 3> sliders_{};
    std::array<ChannelLabel*, 3> labels_{};
    std::array<QSpinBox*, 3> spins_{}; // spnColor_i: the slider positions, typed
    QPushButton* cmdImport_ = nullptr;
    QPushButton* cmdExport_ = nullptr;
    QPushButton* cmdCopyLine_ = nullptr;
    QPushButton* cmdPasteLine_ = nullptr;
    QWidget* preview_ = nullptr; // shpPreview
    QMenu* switchMenu_ = nullptr;
    QAction* switchDesc_ = nullptr;
    std::array<QAction*, 3> switchColors_{};
};

} // namespace zorp::ui

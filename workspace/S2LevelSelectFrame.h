#pragma once
// fraS2LvlSelect: Sonic 2's level select screen. The names on the screen
// (lstS2Names, one row per name, edited in place with the font's letters),
// which zone and act each of the 22 menu entries starts (lstS2Order, a choice
// per entry), and a picture of the screen with the chosen entry's highlight
// (picS2LevelSelect). A thin view over the core's S2LevelSelect: every edit
// goes to the model, which refuses what the game cannot show.
#include <functional>
#include <optional>

#include "EditorFrame.h"
#include "RelocatingSave.h"
#include "TemplateModels.h"
#include "template/S2RomSave.h"

class QLabel;
class QTableWidget;

namespace zorp::ui {

class S2LevelSelectPreview;

class S2LevelSelectFrame : public EditorFrame, public RelocatingEditor {
    Q_OBJECT
public:
    explicit S2LevelSelectFrame(QWidget* parent);
    ~S2LevelSelectFrame() override;

    QSize designedSize() const override;
    bool stretches() const override { return true; }
    void Clear() override;

    void Setup(const S2LevelSelectSetup& setup);
    const S2LevelSelectSetup& setup() const { return setup_; }
    // Reads the map and tables; the load's error, if any, for the workspace
    // to show (the editor then stays disabled, the reason shown in it).
    std::optional<Message> Load(const ByteSource& rom, const CodecCalls& codec);
    // Shows a model; nullopt leaves the editor disabled with the reason.
    void Show(const std::optional<S2LevelSelect>& model, const QString& reason = QString());
    const std::optional<S2LevelSelect>& model() const { return model_; }

    // The save, shared with the other editors whose data can move
    // (RelocatingSave.h). Saved: where the streams lie now is read again
    // from the file; what the editor shows stays (it is what was written).
    bool WantsToSave() const override { return active() && load_ && model_ && modified_; }
    uint8_t Filler() const override { return setup_.relocation.filler; }
    void Declare(FreeSpaceAllocator& allocator) override;
    RelocatingPlan Plan(FreeSpaceAllocator& allocator, bool mayGrow) override;
    QStringList Placements() const override { return placements_; }
    void Saved(const Bytes& image) override;

    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

    // The refusal of a name edit is shown through this (the workspace hands
    // in its message box); without one the name simply stays as it was.
    void setRefusalHandler(std::function<void(const QString& text)> handler) { refuse_ = std::move(handler); }

    // Edits as the table's delegates make them (tests call them directly).
    bool SetName(int name, const QString& text);
    void SetOrder(int entry, uint16_t destination);

    QTableWidget* names() const { return names_; }
    QTableWidget* order() const { return order_; }
    S2LevelSelectPreview* preview() const { return preview_; }
    QLabel* warning() const { return warning_; }

private:
    void ShowModel();
    void ShowWarnings();
    void EntrySelected();

    S2LevelSelectSetup setup_;
    std::optional<S2LevelSelectLoad> load_;
    CodecCalls codecs_; // the plug-in's formats, taken at each load
    QStringList placements_;
    std::optional<S2LevelSelect> model_;
    bool modified_ = false;
    std::function<void(const QString&)> refuse_;
    QTableWidget* names_;
    QTableWidget* order_;
    S2LevelSelectPreview* preview_;
    QLabel* warning_;
};

// picS2LevelSelect: the 40 x 28 screen, one letter per cell, with the
// highlight of the chosen entry as the game draws it (14 tiles of the name
// and the act digit).
class S2LevelSelectPreview : public QWidget {
    Q_OBJECT
public:
    explicit S2LevelSelectPreview(QWidget* parent);
    void setModel(const S2LevelSelect* model) { model_ = model; update(); }
    void setEntry(int entry) { entry_ = entry; update(); }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const S2LevelSelect* model_ = nullptr;
    int entry_ = -1;
};

} // namespace zorp::ui

#pragma once
// fraPlaylist: one row per sound test slot, 22 pixels apart on the panel
// picPlaylistScroll: the caption lblPlaylist_i, the read-only two-digit hex
// text box txtPlaylist_i and the vertical scroll bar vscPlaylist_i that holds
// the song number (its up arrow raises the number). The panel is moved by
// vscPlaylistScroll when the rows do not fit. A row whose stored byte lay
// outside the song range shows imgPlaylistWarning_i with the stored value.
#include <QVector>

#include <memory>
#include <optional>
#include <string>

#include "EditorFrame.h"
#include "rom/Bytes.h"
#include "TemplateModels.h"

class QLabel;
class QLineEdit;
class QScrollBar;

namespace zorp {
class ByteSource;
class PlaylistModel;
} // namespace zorp

namespace zorp::ui {

class PlaylistFrame : public EditorFrame {
    Q_OBJECT
public:
    static constexpr int kRowPitch = 22;

    explicit PlaylistFrame(QWidget* parent);
    ~PlaylistFrame() override;

    QSize designedSize() const override { return {340, 400}; }
    void Clear() override;

    void Setup(const PlaylistSetup& setup);
    void Load(const ByteSource& rom);
    // The playlist block with every row's byte put in; nullopt when the
    // block reaches past the end of the file.
    std::optional<Patch> BlockPatch(const ByteSource& rom) const;

    // True after the user changed a song since the last load or save.
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

    int rowCount() const { return rows_.size(); }
    // The song number row i holds.
    int song(int row) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Row {
        QLabel* caption;
        QLineEdit* text;
        QScrollBar* bar;
        QLabel* warning;
    };
    void RemoveRows();
    void SongChanged(int row, int value);
    void UpdatePanelScroll();

    QWidget* viewport_;
    QWidget* panel_;
    QScrollBar* panelScroll_;
    QVector<Row> rows_;
    std::unique_ptr<PlaylistModel> model_;
    bool modified_ = false;
};

} // namespace zorp::ui

#pragma once
// Base of the workspace's editor frames (fraLvlSelect, fraPalEdit,
// fraPlaylist, fraS3S, fraWavImporter). A frame is active while its tag is
// not empty; the window sizes itself from the designed sizes of the active
// frames and stretches the frames that ask for it over its whole inner area.
#include <QFrame>
#include <QSize>

namespace zorp::ui {

class EditorFrame : public QFrame {
    Q_OBJECT
public:
    EditorFrame(const QString& name, const QString& accessibleName, QWidget* parent);

    // The size the frame is laid out with when it is not stretched.
    virtual QSize designedSize() const = 0;
    // Level select and palette frames fill the window's inner area.
    virtual bool stretches() const { return false; }
    // Empties the tag and the editor's contents and hides the frame.
    virtual void Clear();

    bool active() const;
};

} // namespace zorp::ui

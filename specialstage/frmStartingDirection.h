#pragma once
// The "Starting Direction" dialog: four arrow buttons laid out as a cross
// (up, down, left, right); OK stays disabled until one is chosen.
#include <QDialog>

class QAbstractButton;
class QPushButton;

namespace zorp::ui {

class frmStartingDirection : public QDialog {
    Q_OBJECT
public:
    explicit frmStartingDirection(QWidget* parent = nullptr);

    // S3S_Up .. S3S_Right once a button is chosen and OK pressed; 0 while none
    // is chosen and after Cancel or the close box.
    int SelectedDirection() const { return selected_; }

    // Opens a new dialog modally and returns its SelectedDirection.
    static int Ask(QWidget* parent);

    void done(int result) override;

private:
    void choose(int index);

    int selected_ = 0;
    QPushButton* ok_ = nullptr;
};

} // namespace zorp::ui

#pragma once
// The "S3S/C Stage Select" dialog: lists the stages of an S3S/C compilation by
// name and shows the description of the selected one.
#include <QDialog>

#include "stage/S3SFile.h"

class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace zorp::ui {

class frmS3SCSelect : public QDialog {
    Q_OBJECT
public:
    explicit frmS3SCSelect(const zorp::S3SCIndex& index, QWidget* parent = nullptr);

    // Index of the chosen stage; -1 when none was chosen (Cancel, the close
    // box, or OK with no name selected).
    int SelectedStage() const;

    // Opens the dialog modally and returns its SelectedStage.
    static int Ask(QWidget* parent, const zorp::S3SCIndex& index);

    void done(int result) override;

private:
    void showDescription();

    QStringList descriptions_;
    QListWidget* stages_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
};

} // namespace zorp::ui

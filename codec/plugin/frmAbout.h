#pragma once
// The codec library's about window: title, maker, version and what the
// library does, closed with OK.
#include <QDialog>

class QLabel;
class QPushButton;

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

private:
    QLabel* lblTitle;
    QLabel* lblMaker;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QPushButton* cmdOK;
};

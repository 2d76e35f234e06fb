#pragma once
// The program's about window: name, version, whether the codec library is
// present, and the codec's own about window when it is.
#include <QDialog>

class QLabel;
class QPushButton;

namespace zorp::ui {

struct AppContext;

class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(AppContext& context, QWidget* parent = nullptr);

    // "0.0.14": the version templates are checked against.
    static QString VersionText();

private:
    AppContext& context_;
};

} // namespace zorp::ui

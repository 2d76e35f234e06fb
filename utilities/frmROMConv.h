#pragma once
// The ROM converter window: loads a cartridge image in any layout (plain,
// SMD, SMD series, MGD), reports its header and checksum, and writes it out
// as a plain, SMD or MGD file, optionally with the header checksum corrected.
// All byte work is done by core/rom/RomFormat.h.
#include <QWidget>

#include "Platform.h"
#include "rom/Bytes.h"
#include "rom/RomFormat.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace zorp::ui {

class frmROMConv : public QWidget {
    Q_OBJECT

public:
    explicit frmROMConv(Platform platform, QWidget* parent = nullptr);

    // Shows "Format: " + the layout name and enables the three conversions.
    void EnableConversion(const QString& layoutName);

private slots:
    void cmdBrowse_Click();
    void cmdConvBin_Click();
    void cmdConvSMD_Click();
    void cmdConvMGD_Click();

private:
    struct Conversion {
        RomOutputFormat format;
        const char* title;
        const char* filter;
        const char* doneText;
    };
    void Convert(const Conversion& conversion, int filterIndex);
    void SetConversionEnabled(bool enabled);

    Platform platform_;

    // The loaded ROM: a plain image padded to whole 16 KB blocks.
    Bytes image_;
    QString romPath_;
    bool is32X_ = false;

    QPushButton* cmdBrowse_ = nullptr;
    QLineEdit* txtROMFile_ = nullptr;
    QLabel* lblROMFormat_ = nullptr;
    QLabel* lblHeader_ = nullptr;
    QListWidget* lstHeader_ = nullptr;
    QCheckBox* chkValidate_ = nullptr;
    QPushButton* cmdConvBin_ = nullptr;
    QPushButton* cmdConvSMD_ = nullptr;
    QPushButton* cmdConvMGD_ = nullptr;
    QPushButton* cmdConvSMDSp_ = nullptr;
};

} // namespace zorp::ui

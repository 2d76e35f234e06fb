#include "specialstage/frmS3SCSelect.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/Platform.h"

namespace zorp::ui {

frmS3SCSelect::frmS3SCSelect(const zorp::S3SCIndex& index, QWidget* parent) : QDialog(parent)
{
    setObjectName("frmS3SCSelect");
    setWindowTitle("S3S/C Stage Select");
    setAccessibleName("S3S/C Stage Select");
    setModal(true);

    stages_ = new QListWidget(this);
    stages_->setObjectName("lstStages");
    stages_->setAccessibleName("lstStages");
    stages_->setAccessibleDescription("Stages of the compilation");
    stages_->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const zorp::S3SCEntry& entry : index.entries) {
        // Names and descriptions are 8-bit texts; shown one character per byte.
        stages_->addItem(FromBytes(entry.name));
        descriptions_ << FromBytes(entry.description);
    }

    description_ = new QPlainTextEdit(this);
    description_->setObjectName("txtDescription");
    description_->setAccessibleName("txtDescription");
    description_->setAccessibleDescription("Description of the selected stage");
    description_->setReadOnly(true);

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("cmdOK");
    ok->setAccessibleName("OK");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cmdCancel");
    cancel->setAccessibleName("Cancel");

    connect(stages_, &QListWidget::currentRowChanged, this, &frmS3SCSelect::showDescription);
    connect(stages_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(stages_, 3);
    layout->addWidget(description_, 2);
    layout->addLayout(buttons);
    resize(360, 320);
}

int frmS3SCSelect::SelectedStage() const
{
    const QList<QListWidgetItem*> selected = stages_->selectedItems();
    return selected.isEmpty() ? -1 : stages_->row(selected.first());
}

void frmS3SCSelect::done(int result)
{
    // Anything but OK (or a double click) chooses no stage.
    if (result != QDialog::Accepted)
        stages_->clearSelection();
    QDialog::done(result);
}

void frmS3SCSelect::showDescription()
{
    const int row = stages_->currentRow();
    description_->setPlainText(row >= 0 && row < descriptions_.size() ? descriptions_[row] : QString());
}

int frmS3SCSelect::Ask(QWidget* parent, const zorp::S3SCIndex& index)
{
    frmS3SCSelect dialog(index, parent);
    dialog.exec();
    return dialog.SelectedStage();
}

} // namespace zorp::ui

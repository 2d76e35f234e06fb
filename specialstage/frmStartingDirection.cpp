#include "specialstage/frmStartingDirection.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "stage/StartDirection.h"
#include "specialstage/StagePictures.h"

namespace zorp::ui {

namespace {

struct DirectionButton {
    int row;
    int column;
    int direction;
    const char* name; // accessible description
};

// Index i of optStartingDirection_i chooses direction i + 1.
constexpr DirectionButton kButtons[] = {
    {0, 1, S3S_Up, "Up"},
    {2, 1, S3S_Down, "Down"},
    {1, 0, S3S_Left, "Left"},
    {1, 2, S3S_Right, "Right"},
};

} // namespace

frmStartingDirection::frmStartingDirection(QWidget* parent) : QDialog(parent)
{
    setObjectName("frmStartingDirection");
    setWindowTitle("Starting Direction");
    setAccessibleName("Starting Direction");
    setModal(true);

    auto* cross = new QGridLayout;
    cross->setSpacing(4);
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    for (int i = 0; i < 4; ++i) {
        const DirectionButton& place = kButtons[i];
        auto* button = new QToolButton(this);
        const QString name = QString("optStartingDirection_%1").arg(i);
        button->setObjectName(name);
        button->setAccessibleName(name);
        button->setAccessibleDescription(QString("Start facing %1").arg(place.name));
        button->setToolTip(place.name);
        button->setCheckable(true);
        button->setIcon(DirectionArrowIcon(place.direction));
        button->setIconSize(QSize(24, 24));
        button->setFixedSize(40, 40);
        group->addButton(button, i);
        cross->addWidget(button, place.row, place.column);
    }
    // The middle of the cross stays empty.
    cross->setRowMinimumHeight(1, 40);
    cross->setColumnMinimumWidth(1, 40);
    connect(group, &QButtonGroup::idClicked, this, &frmStartingDirection::choose);

    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("cmdOK");
    ok_->setAccessibleName("OK");
    ok_->setDefault(true);
    ok_->setEnabled(false);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("cmdCancel");
    cancel->setAccessibleName("Cancel");
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(cross);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmStartingDirection::choose(int index)
{
    if (index < 0 || index >= 4)
        return;
    selected_ = kButtons[index].direction;
    ok_->setEnabled(true);
}

void frmStartingDirection::done(int result)
{
    // Only OK keeps the choice; Cancel and the close box give 0.
    if (result != QDialog::Accepted)
        selected_ = 0;
    QDialog::done(result);
}

int frmStartingDirection::Ask(QWidget* parent)
{
    frmStartingDirection dialog(parent);
    dialog.exec();
    return dialog.SelectedDirection();
}

} // namespace zorp::ui

#include "ActionAccess.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QAction>
#include <QItemSelectionModel>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace zorp::ui {

namespace {

// Marks the buttons the factory below serves; other tool buttons keep Qt's.
constexpr char kServedProperty[] = "zorpAccessibleToolButton";

class AccessibleToolButton : public QAccessibleWidget {
public:
    explicit AccessibleToolButton(QToolButton* button) : QAccessibleWidget(button) {}

    QAccessible::Role role() const override
    {
        if (button()->menu())
            return QAccessible::ButtonMenu;
        return button()->isCheckable() ? QAccessible::CheckBox : QAccessible::Button;
    }

    QString text(QAccessible::Text t) const override
    {
        QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && text.isEmpty())
            text = QString(button()->text()).remove(QLatin1Char('&'));
        if (t == QAccessible::Accelerator && text.isEmpty() && button()->defaultAction())
            text = button()->defaultAction()->shortcut().toString(QKeySequence::NativeText);
        return text;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = button()->isCheckable();
        state.checked = button()->isChecked();
        state.pressed = button()->isDown();
        state.hasPopup = button()->menu() != nullptr;
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (button()->isEnabled()) {
            if (!menuOnly())
                names << (button()->isCheckable() ? toggleAction() : pressAction());
            if (button()->menu())
                names << showMenuAction();
        }
        return names + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& name) override
    {
        if (!button()->isEnabled())
            return;
        if (name == showMenuAction() && button()->menu()) {
            // A popup rather than the button's modal showMenu(): the screen
            // reader's call returns while the menu stays open for the user.
            button()->menu()->popup(button()->mapToGlobal(QPoint(0, button()->height())));
        } else if ((name == pressAction() || name == toggleAction()) && !menuOnly()) {
            button()->click();
        } else {
            QAccessibleWidget::doAction(name);
        }
    }

    QStringList keyBindingsForAction(const QString& name) const override
    {
        QStringList keys;
        if (name != showMenuAction() && button()->defaultAction()) {
            for (const QKeySequence& key : button()->defaultAction()->shortcuts())
                keys << key.toString(QKeySequence::NativeText);
        }
        return keys;
    }

private:
    QToolButton* button() const { return static_cast<QToolButton*>(widget()); }
    // A button whose menu drops down when it is pressed has no command of its own.
    bool menuOnly() const { return button()->menu() && button()->popupMode() == QToolButton::InstantPopup; }
};

QAccessibleInterface* ToolButtonFactory(const QString& className, QObject* object)
{
    auto* button = qobject_cast<QToolButton*>(object);
    if (className != QLatin1String("QToolButton") || !button || !button->property(kServedProperty).toBool())
        return nullptr;
    return new AccessibleToolButton(button);
}

} // namespace

QString ToolTipWithKey(const QString& tip, const QKeySequence& key)
{
    if (key.isEmpty())
        return tip;
    return tip + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + QLatin1Char(')');
}

void SetActionKeys(QAction* action, const QList<QKeySequence>& keys)
{
    // A desktop's standard key may be missing, or the same as a key given
    // beside it; a key given twice would make the action's shortcut
    // ambiguous, and then it does nothing.
    QList<QKeySequence> distinct;
    for (const QKeySequence& key : keys) {
        if (!key.isEmpty() && !distinct.contains(key))
            distinct << key;
    }
    action->setShortcuts(distinct);
    const QKeySequence shown = distinct.value(0);
    action->setToolTip(ToolTipWithKey(action->toolTip(), shown));
    if (!action->statusTip().isEmpty())
        action->setStatusTip(ToolTipWithKey(action->statusTip(), shown));
}

void MakeToolButtonsAccessible(QToolBar* bar)
{
    static const bool installed = [] {
        QAccessible::installFactory(&ToolButtonFactory);
        return true;
    }();
    Q_UNUSED(installed);
    for (QAction* action : bar->actions()) {
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
        if (!button)
            continue;
        button->setProperty(kServedProperty, true);
        // Qt made an interface for the button while the bar built it; drop
        // it, so the next one asked for comes from the factory above.
        if (QAccessibleInterface* made = QAccessible::queryAccessibleInterface(button))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

void MakeItemsChoosable(QAbstractItemView* view)
{
    QItemSelectionModel* selection = view->selectionModel();
    // The mouse and the keys set the current item before they select it, so
    // their selections find it in place already.
    QObject::connect(selection, &QItemSelectionModel::selectionChanged, view,
                     [selection](const QItemSelection& selected) {
                         if (!selected.isEmpty() && !selected.contains(selection->currentIndex()))
                             selection->setCurrentIndex(selected.indexes().first(), QItemSelectionModel::NoUpdate);
                     });
}

} // namespace zorp::ui

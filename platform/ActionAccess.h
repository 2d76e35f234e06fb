#pragma once
// How a command is reached without the mouse: by its keys, which its tool tip
// shows, and through the actions a screen reader runs on its tool button.
#include <QKeySequence>
#include <QList>
#include <QString>

class QAbstractItemView;
class QAction;
class QToolBar;

namespace zorp::ui {

// "Saves the new data to the ROM. (Ctrl+S)": the tip with the key written as
// the desktop writes it; the tip alone when there is no key.
QString ToolTipWithKey(const QString& tip, const QKeySequence& key);

// Gives the action its keys (the first is the one shown; empty and repeated
// ones are left out) and appends that key to its tool tip and status tip.
// Call after setting the tips.
void SetActionKeys(QAction* action, const QList<QKeySequence>& keys);

// Qt's own screen reader interface of a tool button falls short three ways:
// "Toggle" on a checkable one flips the check mark without triggering the
// action, so nothing that listens to the action hears of it (and toggling
// the checked button of an exclusive group leaves none checked); "ShowMenu"
// on one whose menu drops down at once does nothing; and one with a separate
// menu arrow offers only "ShowMenu", so its own command cannot be run. After
// this call the buttons now in the bar offer "Press" (or "Toggle" when
// checkable), which clicks the button as the mouse does, and "ShowMenu" when
// they have a menu, which drops it down below the button; each action names
// the button's key.
void MakeToolButtonsAccessible(QToolBar* bar);

// A screen reader chooses an item of a list or table by selecting it (the
// item's "Toggle"), which leaves the current item where it was; but the
// windows follow the current item, as the mouse and the keys move it. After
// this call the current item follows such a selection. Call after the view
// has its model.
void MakeItemsChoosable(QAbstractItemView* view);

} // namespace zorp::ui

#pragma once
// Windows that remember their size and position: the geometry is kept in a
// settings section under the window's objectName and put back when the
// window is next opened.
#include <QString>

class QWidget;

namespace zorp::ui {

class SettingsStore;

// Restores the stored geometry of window now (when there is one) and stores
// it again whenever the window is hidden or closed. windows must outlive
// the window. The key is the window's objectName unless one is given (windows
// of one kind whose content differs keep a place each).
void RememberGeometry(QWidget* window, SettingsStore& windows, const QString& key = QString());

} // namespace zorp::ui

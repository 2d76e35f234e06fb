#pragma once
// Frame tags: every editor frame (and the special stage editor) carries the
// settings the template gave it as a "|"-separated text in its "Tag"
// property. A frame is active exactly when its tag is not empty.
#include <QObject>
#include <QString>
#include <QVariant>

namespace zorp::ui {

inline void SetTag(QObject* object, const QString& tag) { object->setProperty("Tag", tag); }
inline QString TagOf(const QObject* object) { return object->property("Tag").toString(); }
inline bool IsActive(const QObject* frame) { return !TagOf(frame).isEmpty(); }

} // namespace zorp::ui

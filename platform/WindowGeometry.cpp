#include "WindowGeometry.h"

#include <QEvent>
#include <QWidget>

#include "Platform.h"

namespace zorp::ui {

namespace {

// Watches one window; owned by it.
class GeometryKeeper : public QObject {
public:
    GeometryKeeper(QWidget* window, SettingsStore& windows, QString key)
        : QObject(window)
        , window_(window)
        , windows_(windows)
        , key_(std::move(key))
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && (event->type() == QEvent::Hide || event->type() == QEvent::Close))
            windows_.setValue(key_, QString::fromLatin1(window_->saveGeometry().toBase64()));
        return false;
    }

private:
    QWidget* window_;
    SettingsStore& windows_;
    QString key_;
};

} // namespace

void RememberGeometry(QWidget* window, SettingsStore& windows, const QString& key)
{
    const QString name = key.isEmpty() ? window->objectName() : key;
    const QString stored = windows.value(name, QString());
    // A damaged value is ignored by restoreGeometry: the window keeps its place.
    if (!stored.isEmpty())
        window->restoreGeometry(QByteArray::fromBase64(stored.toLatin1()));
    window->installEventFilter(new GeometryKeeper(window, windows, name));
}

} // namespace zorp::ui

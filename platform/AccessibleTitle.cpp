#include "AccessibleTitle.h"

#include <QEvent>
#include <QWidget>

namespace zorp::ui {

namespace {

class TitleFollower : public QObject {
public:
    explicit TitleFollower(QWidget* window) : QObject(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowTitleChange) {
            auto* window = static_cast<QWidget*>(watched);
            window->setAccessibleName(window->windowTitle());
        }
        return false;
    }
};

} // namespace

void FollowTitleWithAccessibleName(QWidget* window)
{
    window->installEventFilter(new TitleFollower(window));
    window->setAccessibleName(window->windowTitle());
}

} // namespace zorp::ui

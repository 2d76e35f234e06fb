#include "Screenshot.h"

#include <QDir>
#include <QTest>
#include <QWidget>

namespace zorp::test {

QString ScreenshotFolder() { return qEnvironmentVariable("ZORP_SCREENSHOT_DIR"); }

bool SaveScreenshot(QWidget& window, const QString& fileName)
{
    const QString folder = ScreenshotFolder();
    if (folder.isEmpty())
        return false;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    QTest::qWait(50);
    return window.grab().save(QDir(folder).filePath(fileName));
}

} // namespace zorp::test

#pragma once
// Pictures of windows for the docs: saved only when ZORP_SCREENSHOT_DIR names
// a folder (docs/screenshots when refreshing them), so normal runs skip them.
#include <QString>

class QWidget;

namespace zorp::test {

// The folder named by ZORP_SCREENSHOT_DIR, or empty.
QString ScreenshotFolder();

// Shows the window, waits until it is painted and saves it as fileName in
// the screenshot folder. False when it could not be saved.
bool SaveScreenshot(QWidget& window, const QString& fileName);

} // namespace zorp::test

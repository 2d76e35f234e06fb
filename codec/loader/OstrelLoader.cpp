#include "OstrelLoader.h"

#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

#include "ostrel/clsOstrel.h"

QString OstrelLibraryPath(const QString& codecDir)
{
    return QDir(codecDir).filePath(QStringLiteral("libostrel.so"));
}

OstrelLoadResult LoadOstrel(const QString& codecDir)
{
    OstrelLoadResult result;
    const QString path = OstrelLibraryPath(codecDir);
    if (!QFileInfo::exists(path)) {
        result.error = QStringLiteral("The codec library %1 was not found.").arg(QDir::toNativeSeparators(path));
        return result;
    }
    QPluginLoader loader(path);
    QObject* instance = loader.instance();
    if (!instance) {
        result.error = QStringLiteral("The codec library %1 could not be loaded: %2")
                           .arg(QDir::toNativeSeparators(path), loader.errorString());
        return result;
    }
    result.codec = qobject_cast<clsOstrel*>(instance);
    if (!result.codec) {
        // Another interface version: calling it would be unsafe.
        loader.unload();
        result.error = QStringLiteral("The codec library %1 does not offer the interface %2.")
                           .arg(QDir::toNativeSeparators(path), QStringLiteral(OSTREL_IID));
    }
    // The loader object may go: the library stays loaded until the program
    // ends, and with it the instance.
    return result;
}

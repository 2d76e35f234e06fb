#include "OstrelLoader.h"

#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

#include "ostrel/clsOstrel.h"

OstrelLink::OstrelLink(clsOstrel* current) : v002_(current), v003_(current), current_(current) {}

OstrelLink::OstrelLink(clsOstrel_v003* v003) : v002_(v003), v003_(v003) {}

OstrelLink::OstrelLink(clsOstrel_v002* v002) : v002_(v002) {}

QString OstrelLink::interfaceVersion() const
{
    if (current_)
        return QStringLiteral("0.0.4");
    if (v003_)
        return QStringLiteral("0.0.3");
    if (v002_)
        return QStringLiteral("0.0.2");
    return {};
}

QString OstrelLink::MissingReason(const QString& needed) const
{
    if (!v002_)
        return QStringLiteral("The codec library (The Ostrel) is not loaded.");
    const bool there = needed == QLatin1String("0.0.2") || (needed == QLatin1String("0.0.3") && v003_) ||
                       (needed == QLatin1String("0.0.4") && current_);
    if (there)
        return {};
    return QStringLiteral("The codec library (The Ostrel) that was loaded offers version %1 of its interface; "
                          "this needs version %2 or later. Install the current codec library to use it.")
        .arg(interfaceVersion(), needed);
}

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
    // The newest interface the plug-in declares wins; each cast succeeds only
    // for an id the plug-in lists, so an older plug-in is never called
    // through methods it does not have.
    if (auto* current = qobject_cast<clsOstrel*>(instance))
        result.codec = OstrelLink(current);
    else if (auto* v003 = qobject_cast<clsOstrel_v003*>(instance))
        result.codec = OstrelLink(v003);
    else if (auto* v002 = qobject_cast<clsOstrel_v002*>(instance))
        result.codec = OstrelLink(v002);
    if (!result.codec) {
        // An interface older than 0.0.2, or another library: calling it
        // would be unsafe.
        loader.unload();
        result.error = QStringLiteral("The codec library %1 does not offer the interface %2 or a later one.")
                           .arg(QDir::toNativeSeparators(path), QStringLiteral(OSTREL_IID_0_0_2));
    }
    // The loader object may go: the library stays loaded until the program
    // ends, and with it the instance.
    return result;
}

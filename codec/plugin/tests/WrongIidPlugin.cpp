// A plug-in named libostrel.so that offers an older interface version: the
// loader must refuse it instead of calling into it.
#include <QObject>
#include <QtPlugin>

class clsOstrelOld {
public:
    virtual ~clsOstrelOld() = default;
    virtual bool OstrelPresent() = 0;
};
Q_DECLARE_INTERFACE(clsOstrelOld, "org.zorp2.clsOstrel/0.0.1")

class WrongIidPlugin : public QObject, public clsOstrelOld {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.zorp2.clsOstrel/0.0.1")
    Q_INTERFACES(clsOstrelOld)
public:
    bool OstrelPresent() override { return true; }
};

#include "WrongIidPlugin.moc"

#pragma once
// Start-up lookup of the codec library: libostrel.so in the codec folder the
// locations service names (beside the program in the build tree, a private
// library folder when installed), loaded with QPluginLoader and asked for
// the newest interface version it offers, down to 0.0.2.
#include <QString>

#include <cstddef>

class clsOstrel;
class clsOstrel_v002;
class clsOstrel_v003;

// The loaded codec object, seen through every interface version it offers.
// Older plug-ins still decode and encode Kosinski; what needs a newer
// interface is then missing, and MissingReason says so. The objects are owned
// by the plug-in instance, which stays loaded for the rest of the run: never
// delete them.
class OstrelLink {
public:
    OstrelLink() = default;
    OstrelLink(std::nullptr_t) {}
    OstrelLink(clsOstrel* current);     // a plug-in of the current interface
    OstrelLink(clsOstrel_v003* v003);   // a plug-in of interface 0.0.3
    OstrelLink(clsOstrel_v002* v002);   // a plug-in of interface 0.0.2

    explicit operator bool() const { return v002_ != nullptr; }
    // The calls every usable plug-in offers (interface 0.0.2).
    clsOstrel_v002* operator->() const { return v002_; }
    clsOstrel_v002* v002() const { return v002_; }
    clsOstrel_v003* v003() const { return v003_; } // null below 0.0.3
    clsOstrel* current() const { return current_; } // null below the current version

    // "0.0.2", "0.0.3" or the current version; empty without a plug-in.
    QString interfaceVersion() const;
    // Why a function that needs interface `needed` ("0.0.4") is off, or an
    // empty text when it is there.
    QString MissingReason(const QString& needed) const;

    friend bool operator==(const OstrelLink& a, const OstrelLink& b) { return a.v002_ == b.v002_; }

private:
    clsOstrel_v002* v002_ = nullptr;
    clsOstrel_v003* v003_ = nullptr;
    clsOstrel* current_ = nullptr;
};

struct OstrelLoadResult {
    OstrelLink codec; // empty when the library is missing or unusable
    QString error;    // why codec is empty, for a message or a log
};

// File name of the codec library inside its folder.
QString OstrelLibraryPath(const QString& codecDir);

OstrelLoadResult LoadOstrel(const QString& codecDir);

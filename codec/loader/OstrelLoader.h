#pragma once
// Start-up lookup of the codec library: libostrel.so in the codec folder the
// locations service names (beside the program in the build tree, a private
// library folder when installed), loaded with QPluginLoader and asked for
// clsOstrel.
#include <QString>

class clsOstrel;

struct OstrelLoadResult {
    // Owned by the plug-in instance, which stays loaded for the rest of the
    // run; never delete it. nullptr when the library is missing or unusable.
    clsOstrel* codec = nullptr;
    QString error; // why codec is nullptr, for a message or a log
};

// File name of the codec library inside its folder.
QString OstrelLibraryPath(const QString& codecDir);

OstrelLoadResult LoadOstrel(const QString& codecDir);

#pragma once
// Where the program's files are: the definitions table and the shipped
// templates, the codec library, and the user's own data folder. Two layouts
// are known. In the build tree everything lies beside the executable; in an
// installed tree (bin/ under a prefix) the data is in share/zorp/ and the
// codec in a private library folder. Every lookup of a program file asks
// this service, so neither layout is assumed anywhere else.
#include <string>

namespace zorp {

// The token that stands for the templates folder in stored paths: the user's
// copy of a file when there is one, else the shipped file.
inline constexpr const char* kProgramDirToken = "*ZORP*";
// The token that stands for the shipped file only, even where the user has a
// copy of the same name: a shipped template chosen on purpose stays chosen.
inline constexpr const char* kShippedDirToken = "*SHIPPED*";

// File name of the codec library inside its folder.
inline constexpr const char* kCodecLibraryFileName = "libostrel.so";

// The user's own data folder below the XDG data home: organisation and
// application name, as the Qt program's AppDataLocation names it.
inline constexpr const char* kUserDataSubfolder = "ZORP-II/Sonic the Hedgehog Quorvane";

struct Locations {
    std::string dataDir;  // ROM_DEF.RDEF and the shipped templates
    std::string codecDir; // the codec library
    std::string userDir;  // the user's own copies; empty when there is none
    bool installed = false;
};

// Folders of an installed tree relative to its prefix (GNUInstallDirs).
struct InstallLayout {
    std::string binDir;
    std::string dataDir; // the program's own data folder, e.g. share/zorp
    std::string libDir;  // the codec's private folder, e.g. lib/x86_64-linux-gnu/zorp
};
InstallLayout DefaultInstallLayout(); // the layout this build installs

// The locations for an executable in exeDir. The build tree is recognised by
// ROM_DEF.RDEF beside the executable; otherwise an executable in the
// layout's bin folder uses the installed tree around it. Without either,
// everything is looked for beside the executable, as in the build tree.
Locations LocationsForExecutable(const std::string& exeDir, const std::string& userDir,
                                 const InstallLayout& layout = DefaultInstallLayout());

// $XDG_DATA_HOME (else $HOME/.local/share) + kUserDataSubfolder; empty when
// neither variable is set. For programs without Qt.
std::string DefaultUserDataDir();

void SetLocations(const Locations& locations);
const Locations& CurrentLocations();

// The user's copy of a program file when it exists, else the shipped one.
std::string AppFilePath(const std::string& fileName);

// Where the user puts a file of their own: the user folder, or the data
// folder when there is none (build-tree runs without a home).
std::string UserFilePath(const std::string& fileName);

std::string CodecLibraryPath();

// "*ZORP*" (any case) at the start stands for the shipped templates folder;
// the user's copy of the same file is used when it exists. "*SHIPPED*" stands
// for the shipped folder only. A following '\' (paths stored on other
// systems) is read as '/'. Other paths unchanged.
std::string ExpandProgramDir(const std::string& path);

// A path inside the user's folder becomes "*ZORP*/..."; one inside the
// shipped folder too, unless the user has a copy of that file, which
// "*ZORP*" would open instead: then "*SHIPPED*/...". Others unchanged.
std::string CollapseProgramDir(const std::string& path);

} // namespace zorp

#include "rom/Locations.h"

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "rom/PubFunctions.h"

#ifndef ZORP_INSTALL_BINDIR
#define ZORP_INSTALL_BINDIR "bin"
#define ZORP_INSTALL_DATADIR "share/zorp"
#define ZORP_INSTALL_LIBDIR "lib/zorp"
#endif

namespace zorp {

namespace {

Locations& Current()
{
    static Locations locations{".", ".", "", false};
    return locations;
}

std::string WithoutTrailingSlash(std::string dir)
{
    while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\'))
        dir.pop_back();
    return dir;
}

bool IsFile(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && UpperAscii(text.substr(0, prefix.size())) == UpperAscii(prefix);
}

// "/rest" when path is dir or lies inside it (a whole folder name must
// match: /opt/zorp must not take /opt/zorp2/x), else nothing.
std::optional<std::string> RestInside(const std::string& path, std::string dir)
{
    dir = WithoutTrailingSlash(dir);
    if (dir.empty() || !StartsWithNoCase(path, dir))
        return std::nullopt;
    if (path.size() > dir.size() && path[dir.size()] != '/' && dir != "/")
        return std::nullopt;
    return path.substr(dir.size());
}

} // namespace

InstallLayout DefaultInstallLayout()
{
    return {ZORP_INSTALL_BINDIR, ZORP_INSTALL_DATADIR, ZORP_INSTALL_LIBDIR};
}

Locations LocationsForExecutable(const std::string& exeDir, const std::string& userDir, const InstallLayout& layout)
{
    const std::string dir = WithoutTrailingSlash(exeDir);
    Locations beside{dir, dir, WithoutTrailingSlash(userDir), false};
    if (IsFile(JoinPath(dir, "ROM_DEF.RDEF")))
        return beside;
    const std::string bin = "/" + WithoutTrailingSlash(layout.binDir);
    if (dir.size() < bin.size() || dir.compare(dir.size() - bin.size(), bin.size(), bin) != 0)
        return beside;
    std::string prefix = dir.substr(0, dir.size() - bin.size());
    if (prefix.empty())
        prefix = "/";
    return {JoinPath(prefix, layout.dataDir), JoinPath(prefix, layout.libDir), beside.userDir, true};
}

std::string DefaultUserDataDir()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    // The XDG rules ignore a relative data home.
    if (dataHome && *dataHome == '/')
        return JoinPath(dataHome, kUserDataSubfolder);
    const char* home = std::getenv("HOME");
    if (home && *home)
        return JoinPath(JoinPath(home, ".local/share"), kUserDataSubfolder);
    return {};
}

void SetLocations(const Locations& locations)
{
    Current() = {WithoutTrailingSlash(locations.dataDir), WithoutTrailingSlash(locations.codecDir),
                 WithoutTrailingSlash(locations.userDir), locations.installed};
}

const Locations& CurrentLocations() { return Current(); }

std::string AppFilePath(const std::string& fileName)
{
    const Locations& at = Current();
    if (!at.userDir.empty()) {
        const std::string own = JoinPath(at.userDir, fileName);
        if (IsFile(own))
            return own;
    }
    return JoinPath(at.dataDir, fileName);
}

std::string UserFilePath(const std::string& fileName)
{
    const Locations& at = Current();
    return JoinPath(at.userDir.empty() ? at.dataDir : at.userDir, fileName);
}

std::string CodecLibraryPath() { return JoinPath(Current().codecDir, kCodecLibraryFileName); }

std::string ExpandProgramDir(const std::string& path)
{
    const bool shippedOnly = StartsWithNoCase(path, kShippedDirToken);
    const std::string token = shippedOnly ? kShippedDirToken : kProgramDirToken;
    if (!StartsWithNoCase(path, token))
        return path;
    std::string rest = path.substr(token.size());
    // Stored paths may come from a system that separates folders with '\'.
    for (char& c : rest) {
        if (c == '\\')
            c = '/';
    }
    const Locations& at = Current();
    if (!shippedOnly && !at.userDir.empty() && !rest.empty() && IsFile(at.userDir + rest))
        return at.userDir + rest;
    return at.dataDir + rest;
}

std::string CollapseProgramDir(const std::string& path)
{
    const Locations& at = Current();
    if (auto rest = RestInside(path, at.userDir))
        return kProgramDirToken + *rest;
    if (auto rest = RestInside(path, at.dataDir)) {
        const bool shadowed = !at.userDir.empty() && !rest->empty() && IsFile(at.userDir + *rest);
        return (shadowed ? kShippedDirToken : kProgramDirToken) + *rest;
    }
    return path;
}

} // namespace zorp

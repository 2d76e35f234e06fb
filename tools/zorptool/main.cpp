// zorptool: batch work on Sonic ROMs through the same core as the program.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "Command.h"
#include "rom/Locations.h"
#include "rom/PubFunctions.h"
#include "template/ProgramVersion.h"

namespace {

std::vector<const ZorptoolCommand*>& Registry()
{
    static std::vector<const ZorptoolCommand*> commands;
    return commands;
}

void PrintHelp(std::ostream& out)
{
    out << "usage: zorptool COMMAND [ARGS...]\n\n"
           "Batch work on Sega Genesis / Mega Drive Sonic ROMs.\n\ncommands:\n";
    auto commands = Registry();
    std::sort(commands.begin(), commands.end(),
              [](const ZorptoolCommand* a, const ZorptoolCommand* b) { return a->name < b->name; });
    for (const ZorptoolCommand* c : commands)
        out << "  zorptool " << c->usage << "\n      " << c->summary << "\n";
    out << "\nOptions:\n  zorptool --help\n      Prints this text.\n  zorptool --version\n      Prints the version.\n";
    out << "\nFiles: ROM_DEF.RDEF and the GAME.ZORP templates come from the user's data folder\n"
           "($XDG_DATA_HOME/" << zorp::kUserDataSubfolder << ") when present there, else from the\n"
           "program's data folder (share/zorp when installed, beside the executable in a build).\n";
    out << "\nExit status: 0 on success, 1 on failure, 2 on a usage error.\n";
}

// ROM_DEF.RDEF and the default templates are found through the locations
// service: beside the executable in the build tree, in share/zorp when
// installed, the user's own copies first.
void SetLocationsFromArgv0(const char* argv0)
{
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        exe = std::filesystem::absolute(argv0, ec);
    zorp::SetLocations(zorp::LocationsForExecutable(exe.parent_path().string(), zorp::DefaultUserDataDir()));
}

} // namespace

ZorptoolCommand::ZorptoolCommand(std::string n, std::string u, std::string s, Run r)
    : name(std::move(n)), usage(std::move(u)), summary(std::move(s)), run(std::move(r))
{
    Registry().push_back(this);
}

const std::vector<const ZorptoolCommand*>& ZorptoolCommands() { return Registry(); }

int ZorptoolFail(const std::string& message)
{
    std::cerr << "zorptool: " << message << "\n";
    return 1;
}

int ZorptoolUsage(const ZorptoolCommand& command)
{
    std::cerr << "usage: zorptool " << command.usage << "\n";
    return 2;
}

int main(int argc, char** argv)
{
    SetLocationsFromArgv0(argv[0]);
    if (argc < 2) {
        PrintHelp(std::cerr);
        return 2;
    }
    std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintHelp(std::cout);
        return 0;
    }
    if (name == "--version") {
        std::cout << "zorptool " << zorp::ProgramVersionText() << "\n";
        return 0;
    }
    for (const ZorptoolCommand* c : Registry()) {
        if (c->name == name) {
            std::vector<std::string> args(argv + 2, argv + argc);
            try {
                return c->run(args);
            } catch (const std::exception& e) {
                return ZorptoolFail(e.what());
            }
        }
    }
    std::cerr << "zorptool: unknown command '" << name << "' (try zorptool --help)\n";
    return 2;
}

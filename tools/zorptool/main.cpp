// zorptool: batch work on Sonic ROMs through the same core as the program.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "Command.h"
#include "rom/PubFunctions.h"

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
    out << "\nExit status: 0 on success, 1 on failure, 2 on a usage error.\n";
}

// The program directory is the executable's folder: ROM_DEF.RDEF and the
// default templates are found there.
void SetProgramDirFromArgv0(const char* argv0)
{
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        exe = std::filesystem::absolute(argv0, ec);
    zorp::SetProgramDirectory(exe.parent_path().string());
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
    SetProgramDirFromArgv0(argv[0]);
    if (argc < 2) {
        PrintHelp(std::cerr);
        return 2;
    }
    std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintHelp(std::cout);
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

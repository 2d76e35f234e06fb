#pragma once
// Subcommand registry of zorptool. A subcommand file defines its run function
// and registers it with a static ZorptoolCommand object:
//
//   static int RunIdentify(const std::vector<std::string>& args);
//   static const ZorptoolCommand kIdentify{"identify", "identify ROM", "Prints ...", RunIdentify};
//
// args holds the words after the subcommand name. Return 0 on success; on
// failure print one line "zorptool: ..." to stderr and return non-zero
// (2 for a usage error, 1 for anything else).
#include <functional>
#include <string>
#include <vector>

struct ZorptoolCommand {
    using Run = std::function<int(const std::vector<std::string>&)>;
    ZorptoolCommand(std::string name, std::string usage, std::string summary, Run run);

    std::string name;
    std::string usage;   // e.g. "identify ROM"
    std::string summary; // one line
    Run run;
};

const std::vector<const ZorptoolCommand*>& ZorptoolCommands();

// Shared helpers for subcommands.
int ZorptoolFail(const std::string& message); // prints "zorptool: message", returns 1
int ZorptoolUsage(const ZorptoolCommand& command); // prints the usage line, returns 2

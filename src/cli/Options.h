#pragma once
// The command line: options before the command, then the command and its own arguments.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace qr::cli {

struct GlobalOptions {
    std::optional<std::string> config;  // --config FILE
    std::optional<std::string> port;    // --port P, as given
    std::optional<int> speedIndex;      // --speed BPS, as the index of the speed table
    bool quiet = false;                 // -q, --quiet
    bool help = false;                  // --help before any command
    bool version = false;               // --version
    std::string command;                // "" when none is given
    std::vector<std::string> args;      // what follows the command
};

// The download speeds by index, as the logger's download sentence numbers them.
inline constexpr int kSpeeds[] = {4800, 9600, 19200, 38400, 57600, 115200};

// The index of a speed text ("57600"), or nullopt for any other text.
std::optional<int> speedIndexOf(std::string_view bps);

// Reads the options up to the command. "--name=value" and "--name value" both work.
// Throws UsageError for an unknown option, a missing or bad value.
GlobalOptions parseGlobalOptions(const std::vector<std::string>& args);

// A command's own arguments.
struct CommandArgs {
    std::map<std::string, std::string> values;  // "--out" -> "DIR"
    std::set<std::string> flags;                // "--all"
    std::vector<std::string> positional;
    bool help = false;

    bool has(const std::string& flag) const { return flags.count(flag) != 0; }
    std::optional<std::string> value(const std::string& name) const;
};

// Reads a command's arguments against the options it knows: valueOptions take a value,
// flagOptions none; "--help" is known to every command, "--" ends the options.
// Throws UsageError naming the command for anything else.
CommandArgs parseCommandArgs(const std::string& command, const std::vector<std::string>& args,
                             const std::set<std::string>& valueOptions,
                             const std::set<std::string>& flagOptions);

}  // namespace qr::cli

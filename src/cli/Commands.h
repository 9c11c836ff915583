#pragma once
// The commands of the command line, in the order the help lists them.
#include <functional>
#include <string>
#include <vector>

#include "cli/CliContext.h"

namespace qr::cli {

struct Command {
    std::string name;
    std::string synopsis;  // "save (--all | N...) [--from FILE] ..."
    std::string summary;   // one line for the program's help
    std::string help;      // the command's --help, after its synopsis
    std::function<int(CliContext&, const std::vector<std::string>&)> run;
};

const std::vector<Command>& commandTable();

// Each command's entry, defined beside its code.
Command portsCommand();
Command statusCommand();
Command onCommand();
Command offCommand();
Command deleteCommand();
Command downloadCommand();
Command flightsCommand();
Command saveCommand();
Command scoreCommand();
Command settingsCommand();
Command verifyCommand();

// "Aufruf: quendarix-cli [OPTIONEN] <synopsis>" and the help text.
std::string commandHelp(const Command& command);
std::string programHelp();

}  // namespace qr::cli

// verify FILE...: the G-record check of signed .igc files.
#include <ostream>

#include "GRecordCheck.h"
#include "cli/CliErrors.h"
#include "cli/Commands.h"
#include "common/Errors.h"
#include "common/WholeFile.h"

namespace qr::cli {

namespace {

int runVerify(CliContext& context, const std::vector<std::string>& args) {
    const Command command = verifyCommand();
    const CommandArgs parsed = parseCommandArgs(command.name, args, {}, {});
    if (parsed.help) {
        context.out() << commandHelp(command);
        return kDone;
    }
    if (parsed.positional.empty()) throw UsageError("'verify' braucht mindestens eine Datei");
    int status = kDone;
    for (const std::string& path : parsed.positional) {
        std::string bytes;
        try {
            bytes = readWholeFile(path);
        } catch (const EInOutError& e) {
            context.out() << path << ": Validation check failed: cannot read: " << e.what() << '\n';
            status = kFileFailed;
            continue;
        }
        const vali::CheckResult result = vali::CheckGRecord(bytes);
        if (result.passed) {
            context.out() << path << ": Validation check passed, data indicated as correct\n";
        } else {
            context.out() << path << ": Validation check failed: " << result.reason << '\n';
            if (status == kDone) status = kRefused;
        }
    }
    return status;
}

}  // namespace

Command verifyCommand() {
    return {"verify", "verify DATEI...", "den G-Record signierter IGC-Dateien prüfen",
            "Prüft den G-Record jeder DATEI mit dem öffentlichen Schlüssel des Programms, wie\n"
            "qvd-vali. Exit-Status 0, wenn jede Datei die Prüfung besteht; 2, wenn eine sie\n"
            "nicht besteht; 3, wenn eine nicht gelesen werden kann.\n",
            runVerify};
}

}  // namespace qr::cli

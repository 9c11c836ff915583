#pragma once
// What every command of the command line works with: the options, the settings file, the
// two output streams and whether each is a terminal.
#include <iosfwd>
#include <memory>
#include <string>

#include "cli/Options.h"
#include "cli/Progress.h"

namespace qr {
class SettingsStore;
}

namespace qr::cli {

class CliContext {
public:
    CliContext(GlobalOptions options, std::ostream& out, std::ostream& err, bool outIsTerminal,
               bool errIsTerminal);
    ~CliContext();

    const GlobalOptions& options() const { return options_; }
    // The file of --config, or the window's own settings file.
    SettingsStore& settings();

    std::ostream& out() { return out_; }
    std::ostream& err() { return err_; }
    bool outIsTerminal() const { return outIsTerminal_; }

    // A line for the user on standard error ("Track 3: leerer Track ...").
    void note(const std::string& text);
    // "Warnung: ..." on standard error; the command goes on.
    void warn(const std::string& text);

    // The progress report the options and standard error call for.
    ProgressReport progress();

    // The archive of kept downloads.
    std::string archiveFolder() const;

private:
    GlobalOptions options_;
    std::ostream& out_;
    std::ostream& err_;
    bool outIsTerminal_;
    bool errIsTerminal_;
    std::unique_ptr<SettingsStore> settings_;
};

}  // namespace qr::cli

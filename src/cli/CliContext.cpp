#include "cli/CliContext.h"

#include <ostream>

#include "app/SettingsStore.h"
#include "logger/DownloadArchive.h"

namespace qr::cli {

CliContext::CliContext(GlobalOptions options, std::ostream& out, std::ostream& err,
                       bool outIsTerminal, bool errIsTerminal)
    : options_(std::move(options)),
      out_(out),
      err_(err),
      outIsTerminal_(outIsTerminal),
      errIsTerminal_(errIsTerminal) {}

CliContext::~CliContext() = default;

SettingsStore& CliContext::settings() {
    if (!settings_) {
        settings_ = options_.config
                        ? std::make_unique<SettingsStore>(QString::fromLocal8Bit(*options_.config))
                        : std::make_unique<SettingsStore>();
    }
    return *settings_;
}

void CliContext::note(const std::string& text) {
    err_ << text << '\n' << std::flush;
}

void CliContext::warn(const std::string& text) {
    note("Warnung: " + text);
}

ProgressReport CliContext::progress() {
    const ProgressReport::Mode mode = options_.quiet   ? ProgressReport::Mode::None
                                      : errIsTerminal_ ? ProgressReport::Mode::Bar
                                                       : ProgressReport::Mode::Lines;
    return ProgressReport(mode, [this](std::string_view text) { err_ << text << std::flush; });
}

std::string CliContext::archiveFolder() const {
    return archive::defaultFolder();
}

}  // namespace qr::cli

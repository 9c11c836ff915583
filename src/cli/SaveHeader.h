#pragma once
// The IGC header values of "save": the header dialog's stored values, overridden by the
// command's options, under the dialog's plausibility rule.
#include <QString>
#include <string>

#include "app/SharedState.h"
#include "cli/Options.h"

namespace qr {
class SettingsStore;
}

namespace qr::cli {

struct SaveHeader {
    IgcHeaderValues values;  // 8-bit texts as they go into the file; saveDirectory in the
                             // file system's bytes, with a final '/'
    QString folder;          // the save folder as the user's text, for messages
    bool namesFromLogger = true;
};

// Throws RefusedError naming the fields that fail the plausibility rule, or a --class that
// names no class; ESettingsError for a stored value that is not a text.
SaveHeader saveHeader(SettingsStore& settings, const CommandArgs& args);

}  // namespace qr::cli

#pragma once
// The archive of kept downloads: every evaluated download answer is kept, as the raw bytes
// received, in $XDG_DATA_HOME/QuendarixReader/downloads/ under the local date and time
// ("2026-12-10_143012.qvd"; "….cut.qvd" for a download cut off). Files are complete or
// absent, a name already taken gets the next free one ("2026-12-10_143012-2.qvd"), and
// nothing is ever deleted or replaced.
#include <optional>
#include <string>
#include <string_view>

namespace qr::archive {

// The local date and time a download is named after.
struct Stamp {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

Stamp localStampNow();

// The folder, with a final '/': "<xdgDataHome>/QuendarixReader/downloads/", or below
// "<home>/.local/share" when xdgDataHome is empty or not absolute (as the XDG rules say).
std::string folderFor(std::string_view xdgDataHome, std::string_view home);

// The folder for this process's environment (XDG_DATA_HOME, HOME).
std::string defaultFolder();

// The file name for a stamp; attempt 0 is the plain name, attempt n the name with "-<n+1>".
std::string fileName(const Stamp& stamp, int attempt, bool cut);

// What a name of the archive says, for ordering; nullopt for any other name (hidden
// temporary files among them).
struct NameKey {
    std::string stamp;  // "2026-12-10_143012"
    int number = 1;     // 1 for the plain name, n for "-n"
    bool cut = false;
    auto operator<=>(const NameKey&) const = default;
};
std::optional<NameKey> parseFileName(std::string_view name);

// Writes the bytes as a new file of the folder (created when missing) and returns its path.
// Throws EInOutError with the file layer's text when that fails; nothing is left then.
std::string keep(const std::string& folder, std::string_view bytes, const Stamp& stamp, bool cut);

// The newest complete download of the folder (by the date and time of its name), or nullopt
// when there is none or the folder does not exist. Throws EInOutError when the folder
// cannot be read.
std::optional<std::string> newestComplete(const std::string& folder);

}  // namespace qr::archive

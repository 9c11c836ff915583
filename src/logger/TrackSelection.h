#pragma once
// What the file writer gets when the user has chosen a track: the download, the values the
// track split derived from it, and the user's choices.
#include <cstddef>
#include <string>
#include <vector>

#include "common/DateTime.h"

namespace qr {

struct TrackSelection {
    // The line buffer of the main window, which outlives every use of a selection:
    // (*lines)[0] is line 1; only lines 1 to lineCount are valid.
    const std::vector<std::string>* lines = nullptr;
    std::size_t lineCount = 0;
    std::string firstARecord;           // first line of every file written
    std::vector<TDateTime> startTable;  // element i: start of track i + 1 (0 without fixes)
    int chosenIndex = -1;               // entry of the track list: track chosenIndex + 1
    bool namesFromLogger = true;        // tick of CheckBoxNamen

    // Line number n (1 to lineCount).
    const std::string& line(std::size_t n) const { return (*lines)[n - 1]; }
    // Start date-time of the chosen track; 0 when nothing valid is chosen.
    TDateTime chosenStart() const {
        return chosenIndex >= 0 && static_cast<std::size_t>(chosenIndex) < startTable.size()
                   ? startTable[static_cast<std::size_t>(chosenIndex)]
                   : 0;
    }
};

}  // namespace qr

#pragma once
// Everything the IGC file writer needs to turn one track of a download into a file.
#include <functional>
#include <span>
#include <stdexcept>
#include <string>

#include "common/DateTime.h"
#include "igc/IgcHeaderValues.h"

namespace qr {

struct IgcWriteRequest {
    // The line buffer of the last download: lines[0] is line 1. Only lines 1 to lineCount
    // are read; a count beyond the buffer counts as the buffer's size. The caller keeps the
    // buffer alive during the call.
    std::span<const std::string> lines;
    int lineCount = 0;

    // The first "AXVN" line of the buffer: the first line of every file.
    std::string firstARecord;

    // Entry i: start of track i + 1 (0 for a track without fixes). A track past the end of
    // the table counts as starting at 0.
    std::span<const TDateTime> trackStarts;

    // The chosen entry of the track list, from 0: track chosenIndex + 1. Negative: none.
    int chosenIndex = -1;

    // Tick of "Übernehmen von Pilotennamen, Glider-Typ und Glider-ID aus dem Quendarix":
    // keep the logger's pilot, glider type and glider ID records.
    bool namesFromLogger = true;

    // The header dialog's values (8-bit texts as they go into the file). The save directory
    // ends with '/' and is used as it stands in front of the file name.
    IgcHeaderValues header;

    // The program's title, for the L title line.
    std::string applicationTitle;

    // The clock for the L date lines and the user's short date and long time formats.
    // Empty: the local clock, "dd.mm.yyyy" and "hh:mm:ss".
    std::function<TDateTime()> clock;
    std::function<std::string(TDateTime)> shortDate;
    std::function<std::string(TDateTime)> longTime;

    // Appends the G record to the complete file at the given path (qr::SignIgcFile). Called
    // only for a track that carries no G line of its own; required then.
    std::function<void(const std::string& path)> signer;
};

// The writer refuses a request: no track chosen, the chosen track is not in the buffer, or
// every file name of the day is taken. The text is for the user (UTF-8).
class EIgcWriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace qr

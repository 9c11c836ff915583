#pragma once
// The download a command works on: the newest complete one of the archive, or a given file,
// evaluated and split into flights as after a download in the window.
#include <optional>
#include <string>

#include "cli/CliContext.h"
#include "logger/LineBuffer.h"
#include "logger/TrackSplit.h"

namespace qr::cli {

struct Download {
    std::string path;
    LineBuffer lines;
    TrackList tracks;
};

// Throws EInOutError when the file cannot be read, and also when the archive holds no
// complete download (with a text saying where it looked).
Download loadDownload(CliContext& context, const std::optional<std::string>& from);

// The lines and flights of the raw bytes of a download answer.
void evaluateInto(const std::string& bytes, Download& download);

// The flight list as flights and download print it: the standard columns, each flight's
// facts and its XContest points (lines: the line buffer the tracks were split from).
std::string flightListText(const std::vector<std::string>& lines, const TrackList& tracks,
                           bool terminal);

// The track that the text n names ("3"), from 1. Throws UsageError for anything but a
// number and RefusedError for a number beyond the download's tracks.
int trackNumberOf(const std::string& n, const TrackList& tracks);

}  // namespace qr::cli

#pragma once
// The fixes of one flight of the line buffer, for everything that looks at a flight of a
// download (the track list's tooltips, the command line's flight list and scores).
#include <string>
#include <vector>

#include "flight/Fix.h"
#include "logger/TrackSplit.h"

namespace qr {

// The fixes of the B records between the entry's first and last line; none for a track
// without lines or lines beyond the buffer.
std::vector<flight::Fix> fixesOfTrack(const std::vector<std::string>& lines,
                                      const TrackEntry& track);

}  // namespace qr

#include "logger/TrackFixes.h"

#include <span>

namespace qr {

std::vector<flight::Fix> fixesOfTrack(const std::vector<std::string>& lines,
                                      const TrackEntry& track) {
    if (track.firstLine < 1 || track.firstLine > track.lastLine || track.lastLine > lines.size())
        return {};
    return flight::fixesOf(std::span<const std::string>(lines.data() + (track.firstLine - 1),
                                                        track.lastLine - track.firstLine + 1));
}

}  // namespace qr

// The track split over arbitrary line buffers: never a line past the count, every failure
// one of the split's own, and one start time per listed track.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "logger/TrackSplit.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find('\n', start)) != std::string::npos; start = at + 1)
        lines.push_back(text.substr(start, at - start));
    lines.push_back(text.substr(start));
    // Counts below, at and beyond the buffer's size.
    const std::size_t count =
        lines.size() + 2 - std::min<std::size_t>(lines.size() + 2, data[0] % 5);
    const qr::TrackList list = qr::splitTracks(lines, count);
    if (list.startTable().size() != list.entries.size()) std::abort();
    for (const auto& entry : list.entries)
        if (entry.fixes < 0 || (entry.fixes == 0) != entry.empty()) std::abort();
    return 0;
}

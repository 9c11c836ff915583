// The IGC file writer over arbitrary line buffers and header values, into a temporary
// folder: it writes a file or refuses with its own errors, reads no line past the count,
// and leaves nothing half-written behind.
#include <unistd.h>
#include <cstdint>
#include <cstdlib>

#include <filesystem>
#include <string>
#include <vector>

#include "common/Errors.h"
#include "igc/IgcWriter.h"

namespace {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    namespace fs = std::filesystem;
    // A folder of this process, removed again when it ends.
    static const struct Folder {
        fs::path path = fs::temp_directory_path() / ("qr-fuzz-writer-" + std::to_string(getpid()));
        Folder() { fs::create_directories(path); }
        ~Folder() { fs::remove_all(path); }
    } folder;
    const fs::path& dir = folder.path;
    const int chosen = data[0] % 8;
    const bool names = data[1] & 1;
    const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    std::vector<std::string> all = splitLines(text);
    // The last lines are the header values; the rest is the line buffer.
    qr::IgcHeaderValues header;
    std::string* fields[] = {&header.pilotName,     &header.gliderType,       &header.gliderId,
                             &header.competitionId, &header.competitionClass, &header.site};
    for (std::string* field : fields) {
        if (all.empty()) break;
        *field = all.back();
        all.pop_back();
    }
    header.pilotId = "FUZZ";
    header.saveDirectory = dir.string() + "/";
    std::string firstA;
    std::vector<qr::TDateTime> starts;
    for (const auto& line : all) {
        if (line.rfind("AXVN", 0) == 0) {
            if (firstA.empty()) firstA = line;
            starts.push_back(46364.0 + static_cast<double>(starts.size()));
        }
    }
    qr::IgcWriteRequest request;
    request.header = header;
    request.lines = all;
    request.lineCount = static_cast<int>(all.size()) - (data[1] >> 4);
    request.firstARecord = firstA;
    request.trackStarts = starts;
    request.chosenIndex = chosen - 1;
    request.namesFromLogger = names;
    request.applicationTitle = "quendarix-reader";
    request.clock = [] { return 46364.5; };
    request.signer = [](const std::string&) {};
    try {
        const std::string path = qr::writeIgcFile(request);
        if (!fs::exists(path)) std::abort();
    } catch (const qr::EIgcWriteError&) {
    } catch (const qr::EInOutError&) {
    }
    // Nothing may stay behind: not the file, and no temporary one.
    for (const auto& entry : fs::directory_iterator(dir)) fs::remove(entry.path());
    return 0;
}

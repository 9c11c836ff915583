#include "cli/DownloadSource.h"

#include "cli/CliErrors.h"
#include "common/Errors.h"
#include "common/WholeFile.h"
#include "logger/DownloadArchive.h"
#include "logger/Evaluation.h"

namespace qr::cli {

void evaluateInto(const std::string& bytes, Download& download) {
    NullEvaluationObserver quiet;
    const int count = evaluateDownload(bytes, download.lines, quiet);
    download.tracks = splitTracks(download.lines.lines(), static_cast<std::size_t>(count));
}

Download loadDownload(CliContext& context, const std::optional<std::string>& from) {
    Download download;
    if (from) {
        download.path = *from;
    } else {
        const std::string folder = context.archiveFolder();
        const std::optional<std::string> newest = archive::newestComplete(folder);
        if (!newest)
            throw EInOutError(2, "Kein gespeicherter Download in " + folder +
                                     " (erst 'quendarix-cli download', oder --from DATEI)");
        download.path = *newest;
    }
    try {
        evaluateInto(readWholeFile(download.path), download);
    } catch (const EInOutError& e) {
        throw EInOutError(e.code(), download.path + ": " + e.what());
    }
    return download;
}

int trackNumberOf(const std::string& n, const TrackList& tracks) {
    int number = 0;
    for (char c : n) {
        if (c < '0' || c > '9' || number > 100000) throw UsageError("Keine Tracknummer: " + n);
        number = number * 10 + (c - '0');
    }
    if (n.empty() || number < 1) throw UsageError("Keine Tracknummer: " + n);
    if (number > static_cast<int>(tracks.entries.size()))
        throw RefusedError("Track " + n + " gibt es nicht (der Download hat " +
                           std::to_string(tracks.entries.size()) + " Tracks)");
    return number;
}

}  // namespace qr::cli

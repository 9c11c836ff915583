// flights [--from FILE] [--barogram N --out FILE.png]: the flight list of the newest kept
// download or of a file, with each flight's facts and cross-country score.
#include <cerrno>
#include <ostream>

#include "cli/CliErrors.h"
#include "cli/Commands.h"
#include "cli/DownloadSource.h"
#include "cli/FlightTable.h"
#include "common/Text.h"
#include "flight/BarogramPng.h"
#include "flight/FactsText.h"
#include "flight/FlightFacts.h"
#include "logger/TrackFixes.h"
#include "xc/Score.h"

namespace qr::cli {

namespace {

// A flight's score is worked out for the list in at most this time; a longer search shows
// the best score found, marked with "*".
constexpr double kScoreSecondsPerFlight = 5;

// The fact and score cells of every track, worked out once for the table.
std::vector<std::vector<std::string>> factAndScoreCells(const std::vector<std::string>& lines,
                                                        const TrackList& tracks) {
    std::vector<std::vector<std::string>> cells;
    xc::ScoreOptions options;
    options.maxTimeSeconds = kScoreSecondsPerFlight;
    for (const TrackEntry& track : tracks.entries) {
        const std::vector<flight::Fix> fixes = fixesOfTrack(lines, track);
        std::vector<std::string> row = flight::factColumns(flight::flightFacts(fixes));
        std::string points = "-";
        if (!fixes.empty()) {
            const xc::ScoreResult result = xc::score(fixes, xc::xcontestRules(), options);
            points = flight::germanNumber(result.points, 2) + (result.optimal ? "" : "*");
        }
        row.push_back(points);
        cells.push_back(std::move(row));
    }
    return cells;
}

std::vector<FlightColumn> allFlightColumns(const TrackList& tracks,
                                           const std::vector<std::vector<std::string>>& cells) {
    std::vector<FlightColumn> columns = standardFlightColumns();
    std::vector<std::string> headers = flight::factColumnHeaders();
    headers.push_back(xc::xcontestRules().name + "-Punkte");
    const std::size_t count = tracks.entries.size();
    for (std::size_t c = 0; c < headers.size(); ++c)
        columns.push_back({headers[c], [&cells, c, count](const TrackEntry& e) {
                               const auto i = static_cast<std::size_t>(e.track - 1);
                               return i < count ? cells[i][c] : std::string("-");
                           }});
    return columns;
}

int writeBarogram(CliContext& context, const Download& download, const std::string& number,
                  const std::optional<std::string>& out) {
    if (!out) throw UsageError("'--barogram' braucht '--out DATEI.png'");
    const int track = trackNumberOf(number, download.tracks);
    const TrackEntry& entry = download.tracks.entries[static_cast<std::size_t>(track - 1)];
    std::string error;
    if (!flight::writeBarogramPng(fixesOfTrack(download.lines.lines(), entry), *out, error))
        throw EInOutError(EIO, *out + ": " + error);
    context.out() << *out << '\n';
    return kDone;
}

int runFlights(CliContext& context, const std::vector<std::string>& args) {
    const Command command = flightsCommand();
    const CommandArgs parsed =
        parseCommandArgs(command.name, args, {"--from", "--barogram", "--out"}, {});
    if (parsed.help) {
        context.out() << commandHelp(command);
        return kDone;
    }
    if (!parsed.positional.empty())
        throw UsageError("Unerwartetes Argument für 'flights': " + parsed.positional.front());
    const Download download = loadDownload(context, parsed.value("--from"));
    if (const auto number = parsed.value("--barogram"))
        return writeBarogram(context, download, *number, parsed.value("--out"));
    context.out() << flightListText(download.lines.lines(), download.tracks,
                                    context.outIsTerminal());
    if (download.tracks.error) {
        // The flights before the failing record are listed, as the window lists them.
        context.note(download.path + ": " + download.tracks.error->what());
        return kFileFailed;
    }
    return kDone;
}

}  // namespace

std::string flightListText(const std::vector<std::string>& lines, const TrackList& tracks,
                           bool terminal) {
    const auto cells = factAndScoreCells(lines, tracks);
    return formatTable(flightTable(tracks, allFlightColumns(tracks, cells)), terminal);
}

Command flightsCommand() {
    return {"flights", "flights [--from DATEI] [--barogram N --out DATEI.png]",
            "die Flüge des neuesten Downloads auflisten",
            "Listet die Flüge des neuesten gespeicherten Downloads (oder der DATEI): Nummer,\n"
            "Datum, erster und letzter Fix (UTC), Anzahl der Fixes, Dauer, größte Höhe,\n"
            "Höhengewinn, größte Entfernung vom Start und die XContest-Punkte (mit \"*\", wenn\n"
            "die Suche nach der besten Wertung vor dem Beweis endete). Ist die Ausgabe kein\n"
            "Terminal, sind die Felder durch Tabulatoren getrennt, mit einer Kopfzeile.\n"
            "\n"
            "  --from DATEI      ein gespeicherter Download (.qvd) statt des neuesten\n"
            "  --barogram N      das Barogramm des Tracks N als PNG schreiben (mit --out)\n"
            "  --out DATEI.png   die Bilddatei; eine vorhandene wird nicht ersetzt\n",
            runFlights};
}

}  // namespace qr::cli

// flights [--from FILE]: the flight list of the newest kept download or of a file.
#include <ostream>

#include "cli/CliErrors.h"
#include "cli/Commands.h"
#include "cli/DownloadSource.h"
#include "cli/FlightTable.h"
#include "common/Text.h"

namespace qr::cli {

namespace {

int runFlights(CliContext& context, const std::vector<std::string>& args) {
    const Command command = flightsCommand();
    const CommandArgs parsed = parseCommandArgs(command.name, args, {"--from"}, {});
    if (parsed.help) {
        context.out() << commandHelp(command);
        return kDone;
    }
    if (!parsed.positional.empty())
        throw UsageError("Unerwartetes Argument für 'flights': " + parsed.positional.front());
    const Download download = loadDownload(context, parsed.value("--from"));
    context.out() << formatTable(flightTable(download.tracks, standardFlightColumns()),
                                 context.outIsTerminal());
    if (download.tracks.error) {
        // The flights before the failing record are listed, as the window lists them.
        context.note(download.path + ": " + download.tracks.error->what());
        return kFileFailed;
    }
    return kDone;
}

}  // namespace

Command flightsCommand() {
    return {"flights", "flights [--from DATEI]", "die Flüge des neuesten Downloads auflisten",
            "Listet die Flüge des neuesten gespeicherten Downloads (oder der DATEI): Nummer,\n"
            "Datum, erster und letzter Fix (UTC), Anzahl der Fixes. Ist die Ausgabe kein\n"
            "Terminal, sind die Felder durch Tabulatoren getrennt, mit einer Kopfzeile.\n"
            "\n"
            "  --from DATEI  ein gespeicherter Download (.qvd) statt des neuesten\n",
            runFlights};
}

}  // namespace qr::cli

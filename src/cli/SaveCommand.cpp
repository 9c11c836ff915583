// save (--all | N...): flights of a download as signed .igc files, with the window's writer
// and signer.
#include <QFile>
#include <ostream>

#include "app/AppTitle.h"
#include "cli/CliErrors.h"
#include "cli/Commands.h"
#include "cli/DownloadSource.h"
#include "cli/SaveHeader.h"
#include "cli/SavedFlights.h"
#include "igc/IgcWriter.h"
#include "igc/IgcWriterContent.h"
#include "igc/uGRecDSA.h"

namespace qr::cli {

namespace {

// The window's title goes into the L record, whichever front end writes the file.
constexpr const char* kWindowExecutable = "quendarix-reader";

std::vector<int> chosenTracks(const CommandArgs& args, const TrackList& tracks) {
    std::vector<int> chosen;
    if (args.has("--all")) {
        if (!args.positional.empty())
            throw UsageError("'save': --all oder Tracknummern, nicht beides");
        for (const TrackEntry& e : tracks.entries) chosen.push_back(e.track);
        return chosen;
    }
    if (args.positional.empty()) throw UsageError("'save' braucht --all oder Tracknummern");
    for (const std::string& n : args.positional) {
        const int number = trackNumberOf(n, tracks);
        chosen.push_back(number);
    }
    return chosen;
}

int runSave(CliContext& context, const std::vector<std::string>& args) {
    const Command command = saveCommand();
    const CommandArgs parsed =
        parseCommandArgs(command.name, args,
                         {"--from", "--out", "--pilot", "--glider-type", "--glider-id",
                          "--competition-id", "--class", "--site", "--pilot-id"},
                         {"--all", "--names-from-settings"});
    if (parsed.help) {
        context.out() << commandHelp(command);
        return kDone;
    }
    const SaveHeader header = saveHeader(context.settings(), parsed);
    const Download download = loadDownload(context, parsed.value("--from"));
    const std::vector<int> chosen = chosenTracks(parsed, download.tracks);
    if (download.tracks.error) context.warn(download.path + ": " + download.tracks.error->what());

    const std::vector<TDateTime> starts = download.tracks.startTable();
    IgcWriteRequest request;
    request.lines = std::span<const std::string>(download.lines.lines());
    request.lineCount = download.lines.count();
    request.firstARecord = download.tracks.firstARecord;
    request.trackStarts = starts;
    request.namesFromLogger = header.namesFromLogger;
    request.header = header.values;
    request.applicationTitle = applicationTitle(kWindowExecutable);
    // The pauses of the signer give the window time to show; here they only cost time.
    SignerSeams seams;
    seams.pause = [](int) {};
    request.signer = [&seams](const std::string& path) { SignIgcFile(path, seams); };

    SavedFlightIndex saved(header.values.saveDirectory);
    for (const int track : chosen) {
        const TrackEntry& entry = download.tracks.entries[static_cast<std::size_t>(track - 1)];
        if (entry.empty()) {
            context.note("Track " + std::to_string(track) + ": leerer Track, abspeichern sinnlos!");
            continue;
        }
        request.chosenIndex = track - 1;
        const BRecordSummary flight = bRecordSummary(composeIgcContent(request).bytes);
        if (const std::optional<std::string> file = saved.find(flight)) {
            context.note("Track " + std::to_string(track) + " ist schon gespeichert: " +
                         QFile::decodeName(file->c_str()).toStdString());
            continue;
        }
        const std::string path = writeIgcFile(request);
        saved.add(path, flight);
        context.out() << QFile::decodeName(path.c_str()).toStdString() << '\n' << std::flush;
    }
    return download.tracks.error ? kFileFailed : kDone;
}

}  // namespace

Command saveCommand() {
    return {"save",
            "save (--all | N...) [--from DATEI] [--out ORDNER] [--names-from-settings] "
            "[Kopfwerte]",
            "Flüge als signierte IGC-Dateien speichern",
            "Schreibt die Flüge N... (oder mit --all jeden Flug mit Fixes) des neuesten\n"
            "gespeicherten Downloads als IGC-Dateien, wie das Fenster sie schreibt: gleicher\n"
            "Dateiname, nie überschrieben, signiert. Ein Flug, der im Ordner schon in einer\n"
            ".igc-Datei steht (gleicher erster und letzter B-Record, gleich viele B-Records),\n"
            "wird mit einem Hinweis auf diese Datei übersprungen. Jeder geschriebene Pfad\n"
            "erscheint auf der Standardausgabe.\n"
            "\n"
            "  --from DATEI           ein gespeicherter Download (.qvd) statt des neuesten\n"
            "  --out ORDNER           Zielordner (sonst PFAD aus [IGC])\n"
            "  --names-from-settings  Pilot, Glider-Typ und Glider-ID aus den Einstellungen\n"
            "                         statt vom Quendarix\n"
            "\n"
            "Kopfwerte (sonst aus [IGC] der Einstellungen):\n"
            "  --pilot TEXT  --glider-type TEXT  --glider-id TEXT  --competition-id TEXT\n"
            "  --class TEXT  --site TEXT  --pilot-id TEXT\n"
            "\n"
            "Unplausible Werte werden mit den Namen der Felder abgelehnt (Exit-Status 2).\n",
            runSave};
}

}  // namespace qr::cli

// score [--rules XContest|FFVL] [--max-time S] [--geojson FILE] [--whole-log] FILE.igc...:
// the cross-country score of IGC files, one tab-separated row per file.
#include <cerrno>
#include <cstdlib>
#include <ostream>

#include "cli/CliErrors.h"
#include "cli/Commands.h"
#include "common/CompleteFile.h"
#include "common/Errors.h"
#include "common/WholeFile.h"
#include "flight/Fix.h"
#include "xc/Score.h"

namespace qr::cli {

namespace {

double maxTimeOption(const std::string& text) {
    char* end = nullptr;
    const double seconds = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(seconds > 0))
        throw UsageError("Ungültige Zeitgrenze für 'score': " + text);
    return seconds;
}

// The solution as GeoJSON, complete or absent, never in place of an existing file.
void writeGeoJson(const std::string& path, const std::string& text) {
    TemporaryFile file(folderOf(path) + ".qr-geojson-");
    file.handle().write(text);
    const auto written = file.commit([&](int attempt) {
        return attempt == 0 ? std::optional<std::string>(path) : std::nullopt;
    });
    if (!written) throw EInOutError(EEXIST, "Die Datei " + path + " existiert bereits.");
}

int runScore(CliContext& context, const std::vector<std::string>& args) {
    const Command command = scoreCommand();
    const CommandArgs parsed = parseCommandArgs(
        command.name, args, {"--rules", "--max-time", "--geojson"}, {"--whole-log"});
    if (parsed.help) {
        context.out() << commandHelp(command);
        return kDone;
    }
    if (parsed.positional.empty()) throw UsageError("'score' braucht mindestens eine IGC-Datei");
    const xc::Rules* rules = &xc::xcontestRules();
    if (const auto name = parsed.value("--rules")) {
        rules = xc::rulesNamed(*name);
        if (!rules) throw UsageError("Unbekannte Wertung: " + *name + " (XContest oder FFVL)");
    }
    xc::ScoreOptions options;
    if (const auto seconds = parsed.value("--max-time"))
        options.maxTimeSeconds = maxTimeOption(*seconds);
    options.detectFlight = !parsed.has("--whole-log");
    const auto geojson = parsed.value("--geojson");
    if (geojson && parsed.positional.size() != 1)
        throw UsageError("'--geojson' gilt für genau eine IGC-Datei");

    int status = kDone;
    for (const std::string& path : parsed.positional) {
        std::string text;
        try {
            text = readWholeFile(path);
        } catch (const EInOutError& e) {
            context.warn(path + ": " + e.what());
            status = kFileFailed;
            continue;
        }
        const xc::ScoreResult result = xc::score(flight::fixesOfIgcText(text), *rules, options);
        context.out() << xc::scoreRow(path, result) << '\n';
        if (geojson) writeGeoJson(*geojson, xc::geoJson(result));
    }
    return status;
}

}  // namespace

Command scoreCommand() {
    return {"score",
            "score [--rules XContest|FFVL] [--max-time S] [--geojson DATEI] [--whole-log] "
            "DATEI.igc...",
            "die Streckenwertung von IGC-Dateien berechnen",
            "Berechnet für jede IGC-DATEI die beste Wertung nach den Regeln der Liga und gibt\n"
            "je Datei eine Zeile aus, durch Tabulatoren getrennt: Datei, Regeln, Art des Flugs,\n"
            "Strecke in km, Punkte, ob das Ergebnis bewiesen optimal ist (yes/no), Rechenzeit\n"
            "in ms. Gewertet wird der erkannte Flug (ohne Bodenlauf, Aufstieg zu Fuß oder\n"
            "Autofahrt davor).\n"
            "\n"
            "  --rules R       XContest (Voreinstellung) oder FFVL\n"
            "  --max-time S    nach S Sekunden die beste bis dahin gefundene Wertung\n"
            "  --geojson DATEI die Lösung (Wendepunkte, Schenkel, Schließpunkte) als GeoJSON\n"
            "  --whole-log     die ganze Aufzeichnung werten, ohne den Flug zu erkennen\n",
            runScore};
}

}  // namespace qr::cli

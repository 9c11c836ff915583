// status, on, off, delete and download: the logger's commands over the exchange session,
// the same road as the window's buttons.
#include <QCoreApplication>
#include <chrono>
#include <ostream>

#include "cli/CliErrors.h"
#include "cli/CliPort.h"
#include "cli/Commands.h"
#include "cli/DownloadSource.h"
#include "common/CompleteFile.h"
#include "common/Errors.h"
#include "common/Text.h"
#include "logger/DownloadArchive.h"
#include "logger/ExchangeSession.h"
#include "logger/TrackSplit.h"

namespace qr::cli {

namespace {

const char* const kNoAnswer = "Quendarix antwortet nicht!!!";
const char* const kDownloadCut = "Übertragung unterbrochen, unvollständige Tracks verworfen!!!";

// The main window's report of a lost link, for the port as the user named it.
std::string linkLostText(const PortChoice& port, bool downloadDiscarded) {
    const std::string name = port.path.empty() ? "COM " + std::to_string(port.number) : port.path;
    return "Die Verbindung zu Quendarix über " + name + " ist unterbrochen; " +
           (downloadDiscarded ? "die unvollständig empfangenen Tracks wurden verworfen, die zuvor "
                                "gelesenen Daten bleiben erhalten"
                              : "empfangene Daten können unvollständig sein") +
           ". Bitte die Verbindung prüfen und den Befehl wiederholen.";
}

// What the session reports, on the command line: status lines on standard output, the
// download's progress on standard error.
class CliObserver : public ExchangeObserver {
public:
    explicit CliObserver(CliContext& context) : context_(context), progress_(context.progress()) {}

    void printLines(bool print) { print_ = print; }
    void showProgress(bool show) { showProgress_ = show; }

    void showLine(std::string_view line) override {
        if (print_) context_.out() << latin1ToUtf8(line) << '\n';
    }
    void received(const ExchangeProgress& p) override {
        if (!showProgress_) return;
        const auto now = std::chrono::steady_clock::now();
        if (!started_) {
            first_ = now;
            started_ = true;
        }
        progress_.update({p.receivedBytes,
                          static_cast<std::uint64_t>(std::max<std::int64_t>(p.expectedBytes, 0)),
                          std::chrono::duration<double>(now - first_).count()});
    }
    void answerClosing() override { progress_.finish(); }
    void linkLost(bool) override { lost_ = true; }

    bool lost() const { return lost_; }

private:
    CliContext& context_;
    ProgressReport progress_;
    bool print_ = true;
    bool showProgress_ = false;
    bool started_ = false;
    bool lost_ = false;
    std::chrono::steady_clock::time_point first_;
};

// One session on the chosen port.
struct Link {
    explicit Link(CliContext& context) : port(portChoice(context)), observer(context) {
        if (port.path.empty()) {
            session.port().setPortNum(port.number);
        } else {
            session.port().setDeviceName(port.path);
        }
        session.port().setDeviceResolver(port.resolver);
        session.setObserver(&observer);
    }

    // Runs a command; a port that cannot be opened, a lost link and a number field that
    // breaks the rule fail the logger.
    AnswerOutcome run(LoggerCommand command) {
        AnswerOutcome outcome;
        try {
            outcome = withPort(port, [&] { return session.run(command); });
        } catch (const EConvertError& e) {
            throw LoggerError(e.what());
        }
        // A hang-up right after the answer is reported by the events that follow it.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
        while (!observer.lost() && std::chrono::steady_clock::now() < until)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        const bool discarded = outcome.end == AnswerOutcome::End::Discarded;
        if ((observer.lost() || outcome.hungUp) && !discarded)
            throw LoggerError(linkLostText(port, false));
        return outcome;
    }

    PortChoice port;
    CliObserver observer;
    ExchangeSession session;
};

int simpleCommand(CliContext& context, const std::vector<std::string>& args, const Command& command,
                  LoggerCommand which, const char* saying, bool needsYes) {
    const CommandArgs parsed =
        parseCommandArgs(command.name, args, {},
                         needsYes ? std::set<std::string>{"--yes"} : std::set<std::string>{});
    if (parsed.help) {
        context.out() << commandHelp(command);
        return kDone;
    }
    if (!parsed.positional.empty())
        throw UsageError("Unerwartetes Argument für '" + command.name +
                         "': " + parsed.positional.front());
    if (needsYes && !parsed.has("--yes"))
        throw RefusedError(
            "Löschen nur mit --yes: es löscht alle Tracks im Quendarix (das Fenster fragt "
            "nach; ein Skript muss es ausdrücklich sagen)");
    if (saying) context.note(saying);
    Link link(context);
    const AnswerOutcome outcome = link.run(which);
    if (outcome.end == AnswerOutcome::End::NoAnswer) {
        // The window waits for no answer to on and off and says nothing without one.
        if (which == LoggerCommand::On || which == LoggerCommand::Off) {
            context.note("Keine Antwort von Quendarix.");
            return kDone;
        }
        throw LoggerError(kNoAnswer);
    }
    return kDone;
}

int runStatus(CliContext& c, const std::vector<std::string>& a) {
    return simpleCommand(c, a, statusCommand(), LoggerCommand::Status, nullptr, false);
}
int runOn(CliContext& c, const std::vector<std::string>& a) {
    return simpleCommand(c, a, onCommand(), LoggerCommand::On, "Schalte Quendarix ein / Reset",
                         false);
}
int runOff(CliContext& c, const std::vector<std::string>& a) {
    return simpleCommand(c, a, offCommand(), LoggerCommand::Off, "Schalte Quendarix aus", false);
}
int runDelete(CliContext& c, const std::vector<std::string>& a) {
    return simpleCommand(c, a, deleteCommand(), LoggerCommand::Delete, nullptr, true);
}

// The answer as the logger sent it, also into a file of the user's choice (never replacing
// one).
void writeRawCopy(const std::string& path, const std::string& bytes) {
    TemporaryFile temp(folderOf(path) + "." + path.substr(folderOf(path).size()) + ".");
    temp.handle().write(bytes);
    if (!temp.commit(
            [&](int attempt) { return attempt == 0 ? std::optional(path) : std::nullopt; }))
        throw EInOutError(5, path + ": Datei existiert bereits");
}

int runDownload(CliContext& context, const std::vector<std::string>& args) {
    const Command command = downloadCommand();
    const CommandArgs parsed = parseCommandArgs(command.name, args, {"--raw"}, {});
    if (parsed.help) {
        context.out() << commandHelp(command);
        return kDone;
    }
    if (!parsed.positional.empty())
        throw UsageError("Unerwartetes Argument für 'download': " + parsed.positional.front());

    Link link(context);
    link.session.setSpeedIndex(speedChoice(context));
    if (link.session.exchange().dataflashUsed() <= 0) {
        // The status says how much the memory holds: the progress has a total.
        link.observer.printLines(false);
        if (link.run(LoggerCommand::Status).end == AnswerOutcome::End::NoAnswer)
            throw LoggerError(kNoAnswer);
    }
    link.observer.printLines(false);
    link.observer.showProgress(true);
    const AnswerOutcome outcome = link.run(LoggerCommand::Download);
    if (outcome.end == AnswerOutcome::End::NoAnswer) throw LoggerError(kNoAnswer);

    const std::string& raw = link.session.rawAnswer();
    const bool cut = outcome.end == AnswerOutcome::End::Discarded;
    try {
        const std::string kept =
            archive::keep(context.archiveFolder(), raw, archive::localStampNow(), cut);
        context.note("Download gespeichert: " + kept);
    } catch (const EInOutError& e) {
        context.warn("Download nicht gespeichert in " + context.archiveFolder() + ": " + e.what());
    }
    if (cut) throw LoggerError(std::string(kDownloadCut) + "\n" + linkLostText(link.port, true));
    if (const auto rawPath = parsed.value("--raw")) writeRawCopy(*rawPath, raw);

    const Exchange& exchange = link.session.exchange();
    const TrackList tracks = splitTracks(exchange.lineBuffer().lines(),
                                         static_cast<std::size_t>(exchange.lineBuffer().count()));
    if (tracks.entries.empty())
        throw LoggerError("Der Download enthält keine Tracks (" +
                          std::to_string(exchange.lineBuffer().count()) + " Zeilen)");
    context.out() << flightListText(exchange.lineBuffer().lines(), tracks, context.outIsTerminal());
    if (tracks.error) {
        context.note(tracks.error->what());
        return kFileFailed;
    }
    return kDone;
}

}  // namespace

Command statusCommand() {
    return {"status", "status", "den Status des Quendarix lesen",
            "Liest den Status des Quendarix (wie \"Logger Status lesen\") und schreibt seine\n"
            "Zeilen auf die Standardausgabe.\n",
            runStatus};
}

Command onCommand() {
    return {"on", "on", "den Quendarix einschalten", "Schaltet den Quendarix ein (Reset).\n",
            runOn};
}

Command offCommand() {
    return {"off", "off", "den Quendarix ausschalten", "Schaltet den Quendarix aus.\n", runOff};
}

Command deleteCommand() {
    return {"delete", "delete --yes", "alle Tracks im Quendarix löschen",
            "Löscht alle Tracks im Quendarix. Ohne --yes wird nichts gelöscht (Exit-Status 2).\n",
            runDelete};
}

Command downloadCommand() {
    return {"download", "download [--raw DATEI]", "den Speicher des Quendarix lesen",
            "Liest den Track-Speicher des Quendarix wie \"Logger Tracks lesen\": mit der\n"
            "Geschwindigkeit von --speed (sonst der des Fensters), Fortschritt auf der\n"
            "Standardfehlerausgabe. Ist noch kein Status gelesen, wird er zuerst gelesen, damit\n"
            "der Fortschritt ein Ziel hat. Jeder Download wird roh im Archiv\n"
            "~/.local/share/QuendarixReader/downloads/ behalten (ein abgebrochener als\n"
            "….cut.qvd). Am Ende erscheint die Flugliste.\n"
            "\n"
            "  --raw DATEI  die empfangenen Bytes zusätzlich in DATEI (nie überschrieben)\n",
            runDownload};
}

}  // namespace qr::cli

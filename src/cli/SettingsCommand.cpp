// settings send: the owner settings of [Zelmor] into the logger, paced as the settings
// dialog paces them, then the on sentence as the main window sends it afterwards.
#include <QString>
#include <algorithm>
#include <chrono>
#include <ostream>

#include "app/SettingsStore.h"
#include "app/ZelmorSettings.h"
#include "cli/CliErrors.h"
#include "cli/CliPort.h"
#include "cli/Commands.h"
#include "common/Delay.h"
#include "common/Errors.h"
#include "common/NumberConversion.h"
#include "dialogs/SettingsSession.h"
#include "dialogs/SettingsTransfer.h"
#include "logger/ExchangeSession.h"

namespace qr::cli {

namespace {

// The settings dialog leaves the port this long before the main window opens it again.
constexpr int kClosePause = 500;

// The values the settings dialog shows for the stored ones (its defaults, and a number
// outside a spin edit's range as the nearer bound).
// Throws EConvertError for a stored number that is not one.
OwnerSettings storedOwnerSettings(const SettingsStore& store) {
    const QString group = QString::fromLatin1(zelmor::kSubkey);
    auto read = [&](const zelmor::Value& value) {
        return store.readString(group, value.name, QString::fromLatin1(value.defaultText));
    };
    auto text = [&](const zelmor::Value& value) { return read(value).toLatin1().toStdString(); };
    auto number = [&](const zelmor::Value& value) {
        return std::clamp(StrToInt(text(value)), value.minimum, value.maximum);
    };
    OwnerSettings settings;
    settings.pilot = text(zelmor::kPilot);
    settings.gliderType = text(zelmor::kGliderType);
    settings.gliderId = text(zelmor::kGliderId);
    settings.reserve = text(zelmor::kReserve);
    settings.minInterval = number(zelmor::kMinInterval);
    settings.powerDown = number(zelmor::kPowerDown);
    settings.lcd = read(zelmor::kLcd).toUpper() == "TRUE";
    return settings;
}

class SendProgress : public SettingsSessionObserver {
public:
    explicit SendProgress(CliContext& context) : report_(context.progress()) {}
    void sentenceSent(int position) override {
        if (position == 1) start_ = std::chrono::steady_clock::now();
        sent_ = position;
    }
    void answered(const std::string& answer) override {
        if (!answer.empty()) ++answers_;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        report_.update({static_cast<std::uint64_t>(sent_), kTransferEntries, seconds, "Sätze"});
    }
    void finish() { report_.finish(); }
    int answers() const { return answers_; }

private:
    ProgressReport report_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    int sent_ = 0;
    int answers_ = 0;
};

int runSettings(CliContext& context, const std::vector<std::string>& args) {
    const Command command = settingsCommand();
    const CommandArgs parsed = parseCommandArgs(command.name, args, {}, {"--yes"});
    if (parsed.help) {
        context.out() << commandHelp(command);
        return kDone;
    }
    if (parsed.positional != std::vector<std::string>{"send"})
        throw UsageError("Aufruf: settings send [--yes]");

    OwnerSettings settings;
    try {
        settings = storedOwnerSettings(context.settings());
    } catch (const EConvertError& e) {
        throw RefusedError(e.what());
    }
    // The dialog asks before it switches a display on; a script must say so.
    if (settings.lcd && !parsed.has("--yes"))
        throw RefusedError(
            "Bitte nochmals prüfen, ob der LCD wirklich aktiviert werden soll. Nicht vorhandene "
            "LCD auch nicht aktivieren! (setLCD=TRUE: senden nur mit --yes)");

    const PortChoice port = portChoice(context);
    SendProgress progress(context);
    {
        SettingsSession session;
        session.setDeviceResolver(port.resolver);
        session.setObserver(&progress);
        const bool kept = withPort(
            port, [&] { return session.runTransfer(buildTransferTable(settings), port.number); });
        progress.finish();
        session.close();
        if (!kept) throw LoggerError("Verbindung zu Quendarix unterbrochen");
        if (progress.answers() == 0) throw LoggerError("Quendarix antwortet nicht!!!");
    }
    Delay(kClosePause);

    // As the main window does when the dialog closes: switch the logger on again.
    ExchangeSession on;
    if (port.path.empty()) {
        on.port().setPortNum(port.number);
    } else {
        on.port().setDeviceName(port.path);
    }
    on.port().setDeviceResolver(port.resolver);
    context.note("Schalte Quendarix ein / Reset");
    withPort(port, [&] { return on.run(LoggerCommand::On); });
    context.note("Einstellungen an Quendarix gesendet.");
    return kDone;
}

}  // namespace

Command settingsCommand() {
    return {"settings", "settings send [--yes]",
            "die Besitzereinstellungen in den Quendarix schreiben",
            "Schreibt Pilot, Glider-Typ, Glider-ID, Reserve, Aufzeichnungsintervall,\n"
            "Abschaltzeit und LCD aus [Zelmor] der Einstellungen (setPLT ... setLCD) in den\n"
            "Quendarix: 67 Sätze \"$PQVD,SET,\", je nach der Antwort und 100 ms Ruhe, wie der\n"
            "Dialog \"Logger einstellen\"; danach wird der Quendarix eingeschaltet.\n"
            "\n"
            "  --yes  auch senden, wenn setLCD das LCD einschaltet (der Dialog fragt dann nach)\n",
            runSettings};
}

}  // namespace qr::cli

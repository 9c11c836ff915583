// ports [--assign COMn DEVICE]: the serial devices present and which COM numbers lead there.
#include <QString>
#include <ostream>

#include "app/SettingsStore.h"
#include "cli/CliErrors.h"
#include "cli/Commands.h"
#include "cli/TextTable.h"
#include "common/Errors.h"
#include "serial/PortDiscovery.h"
#include "serial/UdevEnumeration.h"

namespace qr::cli {

namespace {

const QString kPorts = QStringLiteral("Ports");

std::vector<PortsEntry> portsEntries(CliContext& context) {
    std::vector<PortsEntry> entries;
    for (int n = kFirstComNumber; n <= kLastComNumber; ++n) {
        try {
            const QString device = context.settings().readString(
                kPorts, QString::fromStdString(comName(n)), QString());
            if (!device.isEmpty()) entries.push_back({n, device.toLocal8Bit().toStdString()});
        } catch (const ESettingsError& e) {
            context.warn(e.what());
        }
    }
    return entries;
}

int assign(CliContext& context, const std::vector<std::string>& positional) {
    if (positional.size() != 2) throw UsageError("Aufruf: ports --assign COMn GERÄT");
    const std::optional<int> number = parseComNumber(positional[0]);
    if (!number) throw UsageError("Keine COM-Nummer (COM1 bis COM20): " + positional[0]);
    if (positional[1].empty() || positional[1].front() != '/')
        throw UsageError("Das Gerät ist als Pfad anzugeben (/dev/…): " + positional[1]);
    const std::vector<SerialDevice> devices = enumerateSerialDevices();
    if (!deviceNamedBy(devices, positional[1]))
        context.warn(positional[1] + " ist zur Zeit nicht angeschlossen");
    const std::string device = assignedDevice(devices, positional[1]);
    context.settings().writeString(kPorts, QString::fromStdString(comName(*number)),
                                   QString::fromLocal8Bit(device));
    context.out() << comName(*number) << '=' << device << '\n';
    return kDone;
}

int runPorts(CliContext& context, const std::vector<std::string>& args) {
    const Command command = portsCommand();
    const CommandArgs parsed = parseCommandArgs(command.name, args, {}, {"--assign"});
    if (parsed.help) {
        context.out() << commandHelp(command);
        return kDone;
    }
    if (parsed.has("--assign")) return assign(context, parsed.positional);
    if (!parsed.positional.empty())
        throw UsageError("Unerwartetes Argument für 'ports': " + parsed.positional.front());
    const std::vector<SerialDevice> devices = enumerateSerialDevices();
    const TableRows rows = portsTable(devices, portsEntries(context));
    if (devices.empty()) context.note("Keine seriellen Geräte gefunden.");
    if (rows.size() > 1) context.out() << formatTable(rows, context.outIsTerminal());
    return kDone;
}

}  // namespace

Command portsCommand() {
    return {"ports", "ports [--assign COMn GERÄT]",
            "serielle Geräte und ihre COM-Nummern zeigen oder zuordnen",
            "Zeigt jedes vorhandene serielle Gerät: Pfad, /dev/serial/by-id-Verweis, USB-\n"
            "Hersteller, Produkt und Seriennummer, und die COM-Nummern, die zu ihm führen;\n"
            "dann jede COM-Nummer der Gruppe [Ports], deren Gerät fehlt (\"kein Gerät\").\n"
            "\n"
            "  --assign COMn GERÄT  trägt COMn=GERÄT in [Ports] ein (den by-id-Verweis, wenn\n"
            "                       das Gerät einen hat); Fenster und Befehlszeile nutzen\n"
            "                       ihn von da an.\n",
            runPorts};
}

}  // namespace qr::cli

#include "cli/Commands.h"

namespace qr::cli {

const std::vector<Command>& commandTable() {
    static const std::vector<Command> table = {
        portsCommand(),  statusCommand(),   onCommand(),      offCommand(),
        deleteCommand(), downloadCommand(), flightsCommand(), saveCommand(),
        scoreCommand(),  settingsCommand(), verifyCommand(),
    };
    return table;
}

std::string commandHelp(const Command& command) {
    return "Aufruf: quendarix-cli [OPTIONEN] " + command.synopsis + "\n\n" + command.help;
}

std::string programHelp() {
    std::string text =
        "Aufruf: quendarix-cli [OPTIONEN] BEFEHL [ARGUMENTE]\n"
        "\n"
        "Der Weg vom Quendarix zur signierten IGC-Datei ohne Fenster.\n"
        "\n"
        "Optionen (vor dem Befehl):\n"
        "  --config DATEI  die Einstellungsdatei (sonst die des Programms)\n"
        "  --port P        COM-Nummer (COM3, 3) oder Gerätepfad (/dev/ttyUSB0)\n"
        "  --speed BPS     Download-Geschwindigkeit: 4800 9600 19200 38400 57600 115200\n"
        "  -q, --quiet     kein Fortschritt\n"
        "  --help          diese Hilfe; nach einem Befehl die Hilfe des Befehls\n"
        "  --version       die Version\n"
        "\n"
        "Befehle:\n";
    for (const Command& c : commandTable()) {
        std::string line = "  " + c.name;
        line += std::string(line.size() < 12 ? 12 - line.size() : 1, ' ');
        text += line + c.summary + "\n";
    }
    text +=
        "\n"
        "Exit-Status: 0 erledigt; 1 Quendarix oder Port versagt; 2 Aufruf oder Werte\n"
        "abgelehnt; 3 eine Datei konnte nicht geschrieben oder gelesen werden.\n";
    return text;
}

}  // namespace qr::cli

#include "cli/CliPort.h"

#include "app/PortTable.h"
#include "app/SettingsStore.h"
#include "cli/CliErrors.h"
#include "cli/Options.h"
#include "serial/PortDiscovery.h"
#include "serial/PortNames.h"
#include "serial/UdevEnumeration.h"

namespace qr::cli {

namespace {

const QString kZelmor = QStringLiteral("Zelmor");

}  // namespace

std::string PortChoice::comName() const {
    return path.empty() ? qr::comName(number) : std::string();
}

std::string PortChoice::device() const {
    return path.empty() ? resolveDevicePath(qr::comName(number), resolver) : path;
}

PortChoice portChoice(CliContext& context) {
    PortChoice choice;
    const std::optional<std::string>& config = context.options().config;
    choice.resolver = portsTableResolver(config ? QString::fromLocal8Bit(*config) : QString());
    if (const auto& given = context.options().port) {
        if (!given->empty() && given->front() == '/') {
            choice.path = *given;
            choice.resolver = [path = *given](const std::string&) { return path; };
            return choice;
        }
        const std::optional<int> number = parseComNumber(*given);
        if (!number)
            throw UsageError("Ungültiger Port '" + *given +
                             "' (COM1 bis COM20, oder ein Gerätepfad wie /dev/ttyUSB0)");
        choice.number = *number;
        return choice;
    }
    int port = context.settings().readInteger(kZelmor, "COM Port", 1);
    if (port > kLastComNumber || port <= 0) port = 1;
    choice.number = port;
    return choice;
}

int speedChoice(CliContext& context) {
    if (context.options().speedIndex) return *context.options().speedIndex;
    int speed = context.settings().readInteger(kZelmor, "COM Speed", 0);
    if (speed > 5 || speed < 0) speed = 4;  // 57600 bps
    return speed;
}

void throwOpenFailure(const PortChoice& port, const std::exception& error) {
    throw LoggerError(std::string(error.what()) + "\n" +
                      openFailureHint(port.comName(), port.device(), enumerateSerialDevices()));
}

}  // namespace qr::cli

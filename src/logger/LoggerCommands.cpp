#include "logger/LoggerCommands.h"

namespace qr {

std::string downloadCommand(int speedIndex) {
    return "$PQVD,IGC," + std::to_string(speedIndex) + "\r\n";
}

std::optional<int> downloadBaud(int speedIndex) {
    if (speedIndex < 0 || speedIndex >= kSpeedCount) return std::nullopt;
    return kSpeedBauds[speedIndex];
}

}  // namespace qr

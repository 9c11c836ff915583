#include "serial/PortNames.h"

namespace qr {

std::string defaultDevicePath(const std::string& name) {
    if (name.size() < 4 || name.compare(0, 3, "COM") != 0) return {};
    int number = 0;
    for (std::size_t i = 3; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || number > 1000) return {};
        number = number * 10 + (name[i] - '0');
    }
    if (number >= 1 && number <= 4) return "/dev/ttyUSB" + std::to_string(number - 1);
    if (number >= 5 && number <= 8) return "/dev/ttyACM" + std::to_string(number - 5);
    if (number >= 9 && number <= 20) return "/dev/ttyS" + std::to_string(number - 9);
    return {};
}

std::string resolvePortName(const std::string& formattedName, const PortsEntryLookup& entry) {
    if (!formattedName.empty() && formattedName.front() == '/') return formattedName;
    if (entry) {
        std::string path = entry(formattedName);
        if (!path.empty()) return path;
    }
    return defaultDevicePath(formattedName);
}

std::optional<int> parseComNumber(std::string_view text) {
    if (text.size() >= 3 && (text[0] == 'C' || text[0] == 'c') &&
        (text[1] == 'O' || text[1] == 'o') && (text[2] == 'M' || text[2] == 'm')) {
        text.remove_prefix(3);
        if (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 2) return std::nullopt;
    int number = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + (c - '0');
    }
    if (number < kFirstComNumber || number > kLastComNumber) return std::nullopt;
    return number;
}

std::string comName(int number) {
    return "COM" + std::to_string(number);
}

}  // namespace qr

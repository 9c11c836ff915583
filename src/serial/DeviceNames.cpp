// How "COM n" becomes a device path on this platform.
#include <QString>

#include "app/SettingsStore.h"
#include "serial/TComPort.h"

namespace qr {

std::string formatDeviceName(const std::string& pattern, int number) {
    std::string out;
    bool filled = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size()) {
            if (pattern[i + 1] == '%') {
                out += '%';
                ++i;
                continue;
            }
            if (pattern[i + 1] == 'd' && !filled) {
                out += std::to_string(number);
                filled = true;
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

namespace {

// COM1-4 /dev/ttyUSB0-3, COM5-8 /dev/ttyACM0-3, COM9-20 /dev/ttyS0-11.
std::string defaultPath(const std::string& name) {
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

}  // namespace

std::string resolveDevicePath(const std::string& formattedName) {
    if (!formattedName.empty() && formattedName.front() == '/') return formattedName;
    try {
        // Read afresh: the simulator or the user may have changed the table meanwhile.
        SettingsStore store;
        const QString path =
            store.readString("Ports", QString::fromLatin1(formattedName.c_str()), QString());
        if (!path.isEmpty()) return path.toLocal8Bit().toStdString();
    } catch (const std::exception&) {
        // A value that is not a text, or a store that cannot be read: the default table.
    }
    return defaultPath(formattedName);
}

}  // namespace qr

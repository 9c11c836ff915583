// How "COM n" becomes a device path on this platform.
#include <mutex>

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

std::mutex defaultResolverMutex;
DeviceResolver defaultResolver;

}  // namespace

void TCustomComPort::setDefaultDeviceResolver(DeviceResolver resolver) {
    std::lock_guard lock(defaultResolverMutex);
    defaultResolver = std::move(resolver);
}

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

std::string resolveDevicePath(const std::string& formattedName, const DeviceResolver& resolver) {
    if (!formattedName.empty() && formattedName.front() == '/') return formattedName;
    if (resolver) return resolver(formattedName);
    DeviceResolver fallback;
    {
        std::lock_guard lock(defaultResolverMutex);
        fallback = defaultResolver;
    }
    return fallback ? fallback(formattedName) : defaultDevicePath(formattedName);
}

}  // namespace qr

// How "COM n" becomes a device path on this platform.
#include <mutex>

#include "serial/PortNames.h"
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

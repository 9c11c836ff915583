// How "COM n" becomes a device path on this platform.
#include <QString>

#include "app/SettingsStore.h"
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

std::string resolveDevicePath(const std::string& formattedName) {
    return resolvePortName(formattedName, [](const std::string& name) -> std::string {
        try {
            // Read afresh: the simulator or the user may have changed the table meanwhile.
            SettingsStore store;
            const QString path =
                store.readString("Ports", QString::fromLatin1(name.c_str()), QString());
            return path.toLocal8Bit().toStdString();
        } catch (const std::exception&) {
            // A value that is not a text, or a store that cannot be read: the default table.
            return {};
        }
    });
}

}  // namespace qr

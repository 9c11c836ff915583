#include "app/PortTable.h"

#include <exception>
#include <memory>

#include "app/SettingsStore.h"

namespace qr {

DeviceResolver portsTableResolver(const QString& iniPath) {
    return [iniPath](const std::string& formattedName) {
        try {
            const auto store = iniPath.isEmpty() ? std::make_unique<SettingsStore>()
                                                 : std::make_unique<SettingsStore>(iniPath);
            const QString path =
                store->readString("Ports", QString::fromLatin1(formattedName.c_str()), QString());
            if (!path.isEmpty()) return path.toLocal8Bit().toStdString();
        } catch (const std::exception&) {
            // A value that is not a text, or a store that cannot be read: the default mapping.
        }
        return defaultDevicePath(formattedName);
    };
}

}  // namespace qr

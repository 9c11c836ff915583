#pragma once
// Which device a test's COM number leads to: the [Ports] group of the current settings file.
#include <QString>
#include <string>

#include "app/SettingsStore.h"

namespace qr::test {

// A device that does not exist: a port entered with it cannot be opened.
inline constexpr char kNoSuchDevice[] = "/nonexistent/qr-no-such-tty";

// Enters a device as COM<number> in the current settings file.
inline void mapPort(int number, const std::string& devicePath) {
    SettingsStore().writeString("Ports", QString("COM%1").arg(number),
                                QString::fromStdString(devicePath));
}

}  // namespace qr::test

#pragma once
// The program's answer to "which device is COM n": the settings group "Ports" first
// (COM3=/dev/ttyUSB0), then the serial component's default mapping.
#include <QString>

#include "serial/TComPort.h"

namespace qr {

// A resolver that reads the "Ports" group afresh on every call (the simulator or the user
// may change it meanwhile), from the current user's store or from the given INI file.
// A store that cannot be read, or a value that is not a text, leaves the default mapping.
DeviceResolver portsTableResolver(const QString& iniPath = {});

}  // namespace qr

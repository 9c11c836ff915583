#pragma once
// The serial devices present, as the system's device database (libudev) knows them.
#include <vector>

#include "serial/PortDiscovery.h"

namespace qr {

// Every tty device backed by hardware (USB adapters, on-board ports that exist), ordered by
// path. Placeholders of the on-board driver without a port behind them are left out. Links
// the database does not know (no udev daemon) are taken from /dev/serial/by-id.
// Returns an empty list when the database cannot be read.
std::vector<SerialDevice> enumerateSerialDevices();

}  // namespace qr

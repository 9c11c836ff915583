#pragma once
// What each "COM n" item of the port list leads to: the device it resolves to and what is
// attached there, as the item's tooltip and accessible description. The item texts stay.
#include <functional>
#include <string>
#include <vector>

#include "serial/PortDiscovery.h"

class QComboBox;

namespace qr {

// Items whose text is "COM <n>" get "/dev/ttyUSB0 — FTDI FT232R USB UART, A1B2C3" or
// "/dev/ttyUSB1 — kein Gerät"; other items ("COM ???") are left alone. resolve turns
// "COM3" into a device path.
void describeComItems(QComboBox& box, const std::function<std::string(const std::string&)>& resolve,
                      const std::vector<SerialDevice>& devices);

}  // namespace qr

#pragma once
// How a formatted port name ("COM3") becomes a device path: the "Ports" entry of that name
// when there is one, otherwise the default table. Plain C++; the caller brings the entries.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qr {

// The COM numbers the program offers: "COM 1" to "COM 20".
inline constexpr int kFirstComNumber = 1;
inline constexpr int kLastComNumber = 20;

// The "Ports" entry for a formatted name, or "" when there is none.
using PortsEntryLookup = std::function<std::string(const std::string& formattedName)>;

// COM1-4 /dev/ttyUSB0-3, COM5-8 /dev/ttyACM0-3, COM9-20 /dev/ttyS0-11; "" for any other name.
std::string defaultDevicePath(const std::string& formattedName);

// A name that is itself a path ("/dev/ttyUSB0") stays as it is; any other name resolves to
// its "Ports" entry, or else to the default table.
std::string resolvePortName(const std::string& formattedName, const PortsEntryLookup& entry);

// "COM3", "com3", "COM 3" or "3" (COM 1 to COM 20); nullopt for anything else.
std::optional<int> parseComNumber(std::string_view text);

// "COM3".
std::string comName(int number);

}  // namespace qr

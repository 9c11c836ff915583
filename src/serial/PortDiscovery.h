#pragma once
// Which serial devices are present and which COM numbers lead to them. The devices come
// from the system's device database (UdevEnumeration); everything here is plain functions
// over them, so the rules are tested with devices made up by the test.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "serial/PortNames.h"

namespace qr {

struct SerialDevice {
    std::string path;                // "/dev/ttyUSB0"
    std::vector<std::string> links;  // every link to it ("/dev/serial/by-id/…", "by-path", …)
    std::string vendor;              // USB maker, "" when the device has none
    std::string model;               // USB product
    std::string serial;              // USB serial number

    // The first "/dev/serial/by-id/" link, or "".
    std::string byId() const;
    // Whether a path names this device: its own path or one of its links.
    bool isNamedBy(std::string_view devicePath) const;
    // "FTDI FT232R USB UART, A1B2C3": maker and product, then the serial number.
    std::string description() const;
};

// A "Ports" entry of the settings: COM<number>=<device>.
struct PortsEntry {
    int number = 0;
    std::string device;
};

// The COM numbers (COM 1 to COM 20) that resolve to the device.
std::vector<int> comNumbersOf(const SerialDevice& device, const PortsEntryLookup& entry);

// The device a path names among those present, or nullptr.
const SerialDevice* deviceNamedBy(const std::vector<SerialDevice>& devices,
                                  std::string_view devicePath);

// The entries whose device is not present.
std::vector<PortsEntry> absentEntries(const std::vector<PortsEntry>& entries,
                                      const std::vector<SerialDevice>& devices);

// What "ports --assign" stores for a device path: the device's by-id link when it is
// present and has one, otherwise the path as given.
std::string assignedDevice(const std::vector<SerialDevice>& devices, const std::string& devicePath);

// "COM3 COM5", or "" for none.
std::string comNamesText(const std::vector<int>& numbers);

// The ports table: a header row, one row per device present, then one per absent entry
// ("kein Gerät"). Columns: device, by-id link, maker, product, serial number, COM numbers.
std::vector<std::vector<std::string>> portsTable(const std::vector<SerialDevice>& devices,
                                                 const std::vector<PortsEntry>& entries);

// What is attached where a COM number leads: "/dev/ttyUSB0 — FTDI FT232R USB UART, A1B2C3",
// "/dev/ttyS0" for a device without USB facts, or "/dev/ttyUSB1 — kein Gerät".
std::string attachedText(const std::string& resolvedPath, const std::vector<SerialDevice>& devices);

// The lines that follow a port's open error: the device that was tried, the serial devices
// present, and the command that maps a COM number to one of them. comName is "" when a path
// was given instead of a COM number.
std::string openFailureHint(const std::string& comName, const std::string& triedPath,
                            const std::vector<SerialDevice>& devices);

}  // namespace qr

#include "serial/PortDiscovery.h"

#include <algorithm>

namespace qr {

namespace {

constexpr std::string_view kByIdFolder = "/dev/serial/by-id/";

}  // namespace

std::string SerialDevice::byId() const {
    for (const std::string& link : links)
        if (link.starts_with(kByIdFolder)) return link;
    return {};
}

bool SerialDevice::isNamedBy(std::string_view devicePath) const {
    return !devicePath.empty() &&
           (devicePath == path || std::find(links.begin(), links.end(), devicePath) != links.end());
}

std::string SerialDevice::description() const {
    std::string text = vendor;
    if (!model.empty()) text += (text.empty() ? "" : " ") + model;
    if (!serial.empty()) text += (text.empty() ? "" : ", ") + serial;
    return text;
}

std::vector<int> comNumbersOf(const SerialDevice& device, const PortsEntryLookup& entry) {
    std::vector<int> numbers;
    for (int n = kFirstComNumber; n <= kLastComNumber; ++n)
        if (device.isNamedBy(resolvePortName(comName(n), entry))) numbers.push_back(n);
    return numbers;
}

const SerialDevice* deviceNamedBy(const std::vector<SerialDevice>& devices,
                                  std::string_view devicePath) {
    for (const SerialDevice& device : devices)
        if (device.isNamedBy(devicePath)) return &device;
    return nullptr;
}

std::vector<PortsEntry> absentEntries(const std::vector<PortsEntry>& entries,
                                      const std::vector<SerialDevice>& devices) {
    std::vector<PortsEntry> absent;
    for (const PortsEntry& e : entries)
        if (!deviceNamedBy(devices, e.device)) absent.push_back(e);
    return absent;
}

std::string assignedDevice(const std::vector<SerialDevice>& devices,
                           const std::string& devicePath) {
    const SerialDevice* device = deviceNamedBy(devices, devicePath);
    if (device && !device->byId().empty()) return device->byId();
    return devicePath;
}

std::string comNamesText(const std::vector<int>& numbers) {
    std::string text;
    for (int n : numbers) text += (text.empty() ? "" : " ") + comName(n);
    return text;
}

std::vector<std::vector<std::string>> portsTable(const std::vector<SerialDevice>& devices,
                                                 const std::vector<PortsEntry>& entries) {
    const PortsEntryLookup lookup = [&entries](const std::string& name) -> std::string {
        for (const PortsEntry& e : entries)
            if (comName(e.number) == name) return e.device;
        return {};
    };
    std::vector<std::vector<std::string>> rows{
        {"Gerät", "by-id", "Hersteller", "Produkt", "Seriennummer", "COM"}};
    for (const SerialDevice& d : devices)
        rows.push_back(
            {d.path, d.byId(), d.vendor, d.model, d.serial, comNamesText(comNumbersOf(d, lookup))});
    for (const PortsEntry& e : absentEntries(entries, devices))
        rows.push_back({e.device, "", "", "kein Gerät", "", comName(e.number)});
    return rows;
}

std::string attachedText(const std::string& resolvedPath,
                         const std::vector<SerialDevice>& devices) {
    const SerialDevice* device = deviceNamedBy(devices, resolvedPath);
    if (!device) return resolvedPath + " — kein Gerät";
    const std::string description = device->description();
    return description.empty() ? resolvedPath : resolvedPath + " — " + description;
}

std::string openFailureHint(const std::string& name, const std::string& triedPath,
                            const std::vector<SerialDevice>& devices) {
    std::string text = "Versuchtes Gerät: " + triedPath;
    if (!name.empty()) text += " (" + name + ")";
    if (devices.empty()) return text + "\nKeine seriellen Geräte vorhanden.";
    text += "\nVorhandene serielle Geräte:";
    for (const SerialDevice& d : devices) text += "\n  " + attachedText(d.path, devices);
    const SerialDevice& first = devices.front();
    const std::string device = first.byId().empty() ? first.path : first.byId();
    if (!name.empty())
        text += "\nZuordnen mit: quendarix-cli ports --assign " + name + " " + device;
    return text;
}

}  // namespace qr

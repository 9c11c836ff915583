#include "serial/UdevEnumeration.h"

#include <libudev.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

namespace qr {

namespace {

struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevDeleter>;

std::string property(udev_device* device, const char* name) {
    const char* value = udev_device_get_property_value(device, name);
    return value ? value : "";
}

std::string sysattr(udev_device* device, const char* name) {
    const char* value = device ? udev_device_get_sysattr_value(device, name) : nullptr;
    return value ? value : "";
}

// The database's "ID_VENDOR" is mangled (blanks as '_'); the _ENC form keeps them as \x20.
std::string unescaped(const std::string& encoded) {
    std::string text;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '\\' && i + 3 < encoded.size() && encoded[i + 1] == 'x') {
            text += static_cast<char>(std::stoi(encoded.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            text += encoded[i];
        }
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// The on-board driver registers ports that may not exist; such a placeholder hangs below
// the platform device "serial8250" instead of a device of its own.
bool isPlaceholder(udev_device* device, udev_device* parent) {
    const char* parentName = udev_device_get_sysname(parent);
    const char* name = udev_device_get_sysname(device);
    return parentName && std::string_view(parentName) == "serial8250" && name &&
           std::string_view(name).starts_with("ttyS");
}

SerialDevice describe(udev_device* device) {
    SerialDevice d;
    d.path = udev_device_get_devnode(device);
    for (udev_list_entry* link = udev_device_get_devlinks_list_entry(device); link;
         link = udev_list_entry_get_next(link))
        d.links.emplace_back(udev_list_entry_get_name(link));
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
    d.vendor = unescaped(property(device, "ID_VENDOR_ENC"));
    if (d.vendor.empty()) d.vendor = sysattr(usb, "manufacturer");
    d.model = unescaped(property(device, "ID_MODEL_ENC"));
    if (d.model.empty()) d.model = sysattr(usb, "product");
    d.serial = property(device, "ID_SERIAL_SHORT");
    if (d.serial.empty()) d.serial = sysattr(usb, "serial");
    return d;
}

// Without a udev daemon the database holds no links; the by-id folder may still exist.
void addByIdLinks(std::vector<SerialDevice>& devices) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/serial/by-id", error)) {
        const std::filesystem::path target = std::filesystem::canonical(entry.path(), error);
        if (error) continue;
        for (SerialDevice& d : devices)
            if (d.path == target.string() && !d.isNamedBy(entry.path().string()))
                d.links.push_back(entry.path().string());
    }
}

}  // namespace

std::vector<SerialDevice> enumerateSerialDevices() {
    std::vector<SerialDevice> devices;
    const UdevPtr<udev> context(udev_new());
    if (!context) return devices;
    const UdevPtr<udev_enumerate> enumeration(udev_enumerate_new(context.get()));
    if (!enumeration) return devices;
    udev_enumerate_add_match_subsystem(enumeration.get(), "tty");
    udev_enumerate_scan_devices(enumeration.get());
    for (udev_list_entry* entry = udev_enumerate_get_list_entry(enumeration.get()); entry;
         entry = udev_list_entry_get_next(entry)) {
        const UdevPtr<udev_device> device(
            udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        if (!device || !udev_device_get_devnode(device.get())) continue;
        udev_device* parent = udev_device_get_parent(device.get());
        if (!parent || isPlaceholder(device.get(), parent)) continue;  // virtual consoles, ptys
        devices.push_back(describe(device.get()));
    }
    addByIdLinks(devices);
    std::sort(devices.begin(), devices.end(),
              [](const SerialDevice& a, const SerialDevice& b) { return a.path < b.path; });
    return devices;
}

}  // namespace qr

// Port names and discovery over made-up devices: which COM numbers lead where.
#include <gtest/gtest.h>

#include <map>

#include "serial/PortDiscovery.h"
#include "serial/PortNames.h"
#include "serial/UdevEnumeration.h"

namespace qr {
namespace {

const SerialDevice kFtdi{"/dev/ttyUSB0",
                         {"/dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0",
                          "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0"},
                         "FTDI",
                         "FT232R USB UART",
                         "A1B2C3"};
const SerialDevice kAcm{"/dev/ttyACM1", {}, "", "", ""};
const SerialDevice kOnBoard{"/dev/ttyS0", {}, "", "", ""};

PortsEntryLookup lookupOf(std::map<std::string, std::string> entries) {
    return [entries](const std::string& name) {
        const auto it = entries.find(name);
        return it == entries.end() ? std::string() : it->second;
    };
}

TEST(PortNames, DefaultTableAndEntries) {
    struct Case {
        const char* name;
        const char* path;
    };
    const Case cases[] = {{"COM1", "/dev/ttyUSB0"},
                          {"COM4", "/dev/ttyUSB3"},
                          {"COM5", "/dev/ttyACM0"},
                          {"COM8", "/dev/ttyACM3"},
                          {"COM9", "/dev/ttyS0"},
                          {"COM20", "/dev/ttyS11"},
                          {"COM21", ""},
                          {"COM0", ""},
                          {"COMx", ""},
                          {"LPT1", ""}};
    for (const Case& c : cases) EXPECT_EQ(defaultDevicePath(c.name), c.path) << c.name;
    const PortsEntryLookup entries = lookupOf({{"COM3", "/dev/rfcomm0"}});
    EXPECT_EQ(resolvePortName("COM3", entries), "/dev/rfcomm0");
    EXPECT_EQ(resolvePortName("COM2", entries), "/dev/ttyUSB1");
    EXPECT_EQ(resolvePortName("/dev/ttyS4", entries), "/dev/ttyS4");
    EXPECT_EQ(resolvePortName("COM2", {}), "/dev/ttyUSB1");
}

TEST(PortNames, ComNumberTexts) {
    struct Case {
        const char* text;
        std::optional<int> number;
    };
    const Case cases[] = {{"COM3", 3},
                          {"com3", 3},
                          {"COM 3", 3},
                          {"3", 3},
                          {"20", 20},
                          {"COM21", std::nullopt},
                          {"0", std::nullopt},
                          {"", std::nullopt},
                          {"COM", std::nullopt},
                          {"COM3x", std::nullopt},
                          {"/dev/ttyUSB0", std::nullopt},
                          {"COM  3", std::nullopt},
                          {"-1", std::nullopt}};
    for (const Case& c : cases) EXPECT_EQ(parseComNumber(c.text), c.number) << c.text;
    EXPECT_EQ(comName(12), "COM12");
}

TEST(PortDiscovery, ComNumbersFollowTheEntriesAndTheDefaults) {
    // COM1 by default and COM7 by its by-id link lead to the adapter; COM3 moved away from it.
    const PortsEntryLookup entries =
        lookupOf({{"COM7", kFtdi.byId()}, {"COM6", "/dev/ttyACM3"}, {"COM3", "/dev/ttyACM1"}});
    EXPECT_EQ(comNumbersOf(kFtdi, entries), (std::vector<int>{1, 7}));
    EXPECT_EQ(comNumbersOf(kAcm, entries), (std::vector<int>{3}));
    EXPECT_EQ(comNumbersOf(kOnBoard, entries), (std::vector<int>{9}));
    EXPECT_EQ(comNumbersOf(SerialDevice{"/dev/ttyUSB9", {}, "", "", ""}, entries),
              std::vector<int>{});
}

TEST(PortDiscovery, DescriptionsAndAssignment) {
    EXPECT_EQ(kFtdi.description(), "FTDI FT232R USB UART, A1B2C3");
    EXPECT_EQ(kAcm.description(), "");
    EXPECT_EQ((SerialDevice{"/dev/x", {}, "", "Gadget", "42"}.description()), "Gadget, 42");
    const std::vector<SerialDevice> present{kFtdi, kAcm};
    EXPECT_EQ(assignedDevice(present, "/dev/ttyUSB0"), kFtdi.byId());
    EXPECT_EQ(assignedDevice(present, kFtdi.links[0]), kFtdi.byId());
    EXPECT_EQ(assignedDevice(present, "/dev/ttyACM1"), "/dev/ttyACM1");  // no by-id link
    EXPECT_EQ(assignedDevice(present, "/dev/ttyUSB5"), "/dev/ttyUSB5");  // not present
    EXPECT_EQ(attachedText("/dev/ttyUSB0", present), "/dev/ttyUSB0 — FTDI FT232R USB UART, A1B2C3");
    EXPECT_EQ(attachedText("/dev/ttyACM1", present), "/dev/ttyACM1");
    EXPECT_EQ(attachedText("/dev/ttyUSB1", present), "/dev/ttyUSB1 — kein Gerät");
}

TEST(PortDiscovery, TableListsPresentDevicesThenAbsentEntries) {
    const std::vector<PortsEntry> entries{
        {2, kFtdi.byId()}, {4, "/dev/serial/by-id/usb-gone-if00"}, {6, "/dev/ttyACM1"}};
    const auto rows = portsTable({kAcm, kFtdi}, entries);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"Gerät", "by-id", "Hersteller", "Produkt",
                                                 "Seriennummer", "COM"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"/dev/ttyACM1", "", "", "", "", "COM6"}));
    EXPECT_EQ(rows[2], (std::vector<std::string>{"/dev/ttyUSB0", kFtdi.byId(), "FTDI",
                                                 "FT232R USB UART", "A1B2C3", "COM1 COM2"}));
    EXPECT_EQ(rows[3], (std::vector<std::string>{"/dev/serial/by-id/usb-gone-if00", "", "",
                                                 "kein Gerät", "", "COM4"}));
    EXPECT_EQ(absentEntries(entries, {}).size(), 3u);
}

TEST(PortDiscovery, OpenFailureNamesTheTriedAndThePresentDevices) {
    EXPECT_EQ(openFailureHint("COM3", "/dev/ttyUSB2", {kAcm, kFtdi}),
              "Versuchtes Gerät: /dev/ttyUSB2 (COM3)\n"
              "Vorhandene serielle Geräte:\n"
              "  /dev/ttyACM1\n"
              "  /dev/ttyUSB0 — FTDI FT232R USB UART, A1B2C3\n"
              "Zuordnen mit: quendarix-cli ports --assign COM3 /dev/ttyACM1");
    // A by-id link is the stable name to assign.
    EXPECT_TRUE(
        openFailureHint("COM1", "/dev/ttyUSB0", {kFtdi})
            .ends_with("\nZuordnen mit: quendarix-cli ports --assign COM1 " + kFtdi.byId()));
    EXPECT_EQ(openFailureHint("", "/dev/ttyUSB2", {}),
              "Versuchtes Gerät: /dev/ttyUSB2\nKeine seriellen Geräte vorhanden.");
}

TEST(UdevEnumeration, ListsOnlyDevicesWithANode) {
    // Whatever this machine has: every device has a node, and the list is ordered.
    const std::vector<SerialDevice> devices = enumerateSerialDevices();
    for (std::size_t i = 0; i < devices.size(); ++i) {
        EXPECT_TRUE(devices[i].path.starts_with("/dev/")) << devices[i].path;
        if (i > 0) {
            EXPECT_LT(devices[i - 1].path, devices[i].path);
        }
    }
}

}  // namespace
}  // namespace qr

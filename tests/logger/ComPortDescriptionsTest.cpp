// The port list's items carry the device each COM number leads to and what is attached.
#include <gtest/gtest.h>

#include <QComboBox>

#include "logger/ComPortDescriptions.h"
#include "serial/PortNames.h"

namespace qr {
namespace {

TEST(ComPortDescriptions, TooltipAndAccessibleDescriptionNameTheDevice) {
    QComboBox box;
    box.addItem("COM ???");
    for (int i = 1; i <= 20; ++i) box.addItem("COM " + QString::number(i));
    const std::vector<SerialDevice> devices{
        {"/dev/ttyUSB0",
         {"/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0"},
         "FTDI",
         "FT232R USB UART",
         "A1B2C3"}};
    const auto resolve = [](const std::string& name) {
        return resolvePortName(name, [](const std::string& n) -> std::string {
            return n == "COM3" ? "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0"
                               : "";
        });
    };
    describeComItems(box, resolve, devices);
    EXPECT_EQ(box.itemData(1, Qt::ToolTipRole).toString(),
              "/dev/ttyUSB0 — FTDI FT232R USB UART, A1B2C3");
    EXPECT_EQ(box.itemData(2, Qt::ToolTipRole).toString(), "/dev/ttyUSB1 — kein Gerät");
    EXPECT_EQ(box.itemData(3, Qt::AccessibleDescriptionRole).toString(),
              "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2C3-if00-port0 — FTDI FT232R USB "
              "UART, A1B2C3");
    EXPECT_FALSE(box.itemData(0, Qt::ToolTipRole).isValid());
    EXPECT_EQ(box.itemText(1), "COM 1");  // the texts stay
}

}  // namespace
}  // namespace qr

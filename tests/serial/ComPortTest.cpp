// The serial port component against real pseudo-terminals.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QThread>
#include <atomic>

#include "serial/LineSpeed.h"
#include "serial/PtyPair.h"
#include "serial/TComPort.h"
#include "support/TempConfig.h"

using namespace std::chrono_literals;
using qr::test::pumpFor;
using qr::test::pumpUntil;

namespace qr {
namespace {

class ComPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        pty.registerAs(7);
        port.setPortNum(7);
        port.setBaudrate(TComBaudrate::br4800);
    }
    test::TempConfig config;
    test::PtyPair pty;
    TComPort port;
};

TEST_F(ComPortTest, WritesAndReceivesOnTheGuiThread) {
    std::string got;
    bool onGui = true;
    port.OnRxChar = [&](TCustomComPort& sender, int count) {
        EXPECT_EQ(&sender, &port);
        EXPECT_GE(count, 1);
        onGui = onGui && QThread::currentThread() == QCoreApplication::instance()->thread();
        got += sender.ReadText();
    };
    port.Open();
    ASSERT_TRUE(port.IsOpen());
    EXPECT_TRUE(port.WriteText(std::string("$PQVD,ON\r\n\0x", 12)));
    EXPECT_EQ(pty.receive(12), std::string("$PQVD,ON\r\n\0x", 12));
    pty.send("hello\r\n");
    EXPECT_TRUE(pumpUntil([&] { return got.size() >= 7; }));
    EXPECT_EQ(got, "hello\r\n");
    EXPECT_TRUE(onGui);
    EXPECT_EQ(serial::lineSpeed(pty.master()), 4800);
    port.setBaudrate(TComBaudrate::br57600);
    EXPECT_EQ(serial::lineSpeed(pty.master()), 57600);
    port.Close();
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace
}  // namespace qr

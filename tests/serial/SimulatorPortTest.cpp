// The serial port component and the logger simulator together, as the program meets them.
#include <gtest/gtest.h>

#include <thread>

#include "serial/TComPort.h"
#include "support/EventPump.h"
#include "support/SimulatorPort.h"
#include "support/TempConfig.h"

using namespace std::chrono_literals;
using qr::test::pumpFor;
using qr::test::pumpUntil;

namespace qr {
namespace {

struct Collector {
    std::string bytes;
    std::vector<int> errors;
    void attach(TComPort& port) {
        port.OnRxChar = [this](TCustomComPort& sender, int) { bytes += sender.ReadText(); };
        port.OnError = [this](TCustomComPort&, int e) { errors.push_back(e); };
    }
    // The port on COM<number> at 4800 bps, as the program opens it, collected here.
    void open(TComPort& port, int number) {
        port.setPortNum(number);
        port.setBaudrate(TComBaudrate::br4800);
        attach(port);
        port.Open();
    }
};

TEST(SimulatorPortTest, TheSampleMemoryComesThroughAt57600BaudByteForByte) {
    test::TempConfig config;
    sim::SimulatorConfig simConfig;
    simConfig.pacing = false;
    sim::LoggerSimulator logger(simConfig);
    test::startSimulatorAs(logger, 5);

    TComPort port;
    Collector in;
    in.open(port, 5);
    ASSERT_TRUE(port.WriteText("$PQVD,IGC,4\r\n"));
    std::this_thread::sleep_for(200ms);  // the program's pause before it switches
    port.setBaudrate(TComBaudrate::br57600);
    const std::string memory = sim::sampleMemory();
    EXPECT_TRUE(pumpUntil([&] { return in.bytes.size() >= memory.size(); }, 60s));
    pumpFor(300ms);
    EXPECT_EQ(in.bytes.size(), memory.size());
    EXPECT_TRUE(in.bytes == memory);
    EXPECT_EQ(logger.received(), "$PQVD,IGC,4\r\n");
    EXPECT_TRUE(in.errors.empty());
}

TEST(SimulatorPortTest, AnUnpluggedLoggerIsOneErrorAndAReplugOpensAgain) {
    test::TempConfig config;
    sim::LoggerSimulator logger;  // paced, as a real line
    test::startSimulatorAs(logger, 2);

    TComPort port;
    Collector in;
    in.open(port, 2);
    ASSERT_TRUE(port.WriteText("$PQVD,STA\r\n"));
    const std::string status = logger.statusAnswer();
    EXPECT_TRUE(pumpUntil([&] { return in.bytes.size() >= status.size(); }));
    EXPECT_EQ(in.bytes, status);

    logger.unplug();
    EXPECT_TRUE(pumpUntil([&] { return !in.errors.empty(); }));
    pumpFor(300ms);
    EXPECT_EQ(in.errors, std::vector<int>{CE_IOE});
    EXPECT_FALSE(port.WriteText("$PQVD,ON\r\n"));

    logger.replug();  // a new device path under the same COM number
    port.Close();
    port.Open();
    in.bytes.clear();
    ASSERT_TRUE(port.WriteText("$PQVD,ON\r\n"));
    EXPECT_TRUE(pumpUntil([&] { return in.bytes == "$PQVD,ON,OK\r\n"; }));
}

}  // namespace
}  // namespace qr

#pragma once
// The main window against the logger simulator on a pseudo-terminal, and what the window
// makes of the simulator's bytes. For the tests that link the simulator (qr_qvdsim).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/SettingsStore.h"
#include "qvdsim/LoggerSimulator.h"
#include "support/SimulatorPort.h"
#include "support/WindowDriver.h"

namespace qr::test {

// The lines ended by CR LF, as bytes.
inline std::vector<std::string> splitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    return lines;
}

// A download as the line buffer holds it: the logger's A records rewritten. Written here on
// its own, not taken from the program.
inline std::vector<std::string> asStored(std::vector<std::string> lines) {
    for (auto& line : lines)
        if (line.rfind("AQVD", 0) == 0 || line.rfind("AXQV", 0) == 0)
            line = "AXVN " + line.substr(4);
    return lines;
}

class SimulatorWindowDriver : public MainWindowDriver {
public:
    using MainWindowDriver::MainWindowDriver;
    // The window goes before the logger it talks to.
    ~SimulatorWindowDriver() { window.reset(); }

    // Starts the simulator as COM 1, stores the download speed (index into the speed box),
    // shows the window on it and forgets what the window sent while it tried the port.
    ::testing::AssertionResult startOnSimulator(sim::SimulatorConfig config = {},
                                                int speedIndex = 4) {
        simulator = std::make_unique<sim::LoggerSimulator>(std::move(config));
        startSimulatorAs(*simulator, 1);
        SettingsStore().writeInteger("Zelmor", "COM Speed", speedIndex);
        show();
        if (!answered()) return ::testing::AssertionFailure() << "COM 1 did not open";
        simulator->clearReceived();
        return ::testing::AssertionSuccess();
    }

    std::unique_ptr<sim::LoggerSimulator> simulator;
};

}  // namespace qr::test

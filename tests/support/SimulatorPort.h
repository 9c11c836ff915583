#pragma once
// The logger simulator as one of the program's COM ports. For the tests that link the
// simulator (qr_qvdsim).
#include "app/SettingsStore.h"
#include "qvdsim/LoggerSimulator.h"

namespace qr::test {

// Starts the simulator and enters it as COM<number> in the current settings file.
inline void startSimulatorAs(sim::LoggerSimulator& simulator, int number) {
    simulator.start();
    simulator.registerAs(SettingsStore::defaultPath().toStdString(), number);
}

}  // namespace qr::test

#pragma once
// The logger's port of the command line: --port (a COM number or a device path) or the
// window's stored "COM Port", resolved as the window resolves it.
#include <string>

#include "cli/CliContext.h"
#include "serial/TComPort.h"

namespace qr::cli {

struct PortChoice {
    int number = 1;    // the COM number (also when a path is given: the settings' own)
    std::string path;  // a device path given with --port, else ""
    DeviceResolver resolver;

    // "COM3", or "" when a path was given.
    std::string comName() const;
    // The device that is opened.
    std::string device() const;
};

// Throws UsageError for a --port that is neither a COM number nor a path.
PortChoice portChoice(CliContext& context);

// The download speed: --speed or the window's stored "COM Speed" (57600 bps when it is
// out of range, as the window reads it).
int speedChoice(CliContext& context);

// Runs a step that opens the port; an open error becomes a LoggerError that names the
// device tried, the devices present and how to map one.
template <typename Step>
auto withPort(const PortChoice& port, Step&& step) -> decltype(step());

// The texts of an open error with the hint (for withPort).
[[noreturn]] void throwOpenFailure(const PortChoice& port, const std::exception& error);

template <typename Step>
auto withPort(const PortChoice& port, Step&& step) -> decltype(step()) {
    try {
        return step();
    } catch (const EComPortError& error) {
        throwOpenFailure(port, error);
    }
}

}  // namespace qr::cli

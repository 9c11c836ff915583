#pragma once
// One open terminal device: opening it for exclusive use, its line settings, its input
// count and its line-error counters. Plain POSIX; every failure is an EComPortError.
#include <string>

#include "common/UniqueFd.h"
#include "serial/TComPort.h"

namespace qr::serial {

// Everything the line settings are built from.
struct LineSettings {
    int bitsPerSecond = 1200;
    TComParity parity = TComParity::paNone;
    TComDatabits databits = TComDatabits::db8;
    TComStopbits stopbits = TComStopbits::sb1;
    bool ctsFlow = false;
    TComDtrControl dtr = TComDtrControl::dtrDisabled;
    TComRtsControl rts = TComRtsControl::rtsDisabled;
    bool xonXoffOut = false, xonXoffIn = false;
    char xonChar = 17, xoffChar = 19;
    bool parityCheck = false;
};

// Counters of line errors the driver keeps (where it keeps them).
struct LineErrorCounts {
    long frame = 0, overrun = 0, parity = 0, brk = 0, bufOverrun = 0;
};

class ComDevice {
public:
    // Opens path for reading and writing, non-blocking, for this process alone.
    // displayName ("COM3 (/dev/ttyUSB0)") goes into the messages.
    ComDevice(const std::string& path, const std::string& displayName);
    ~ComDevice();
    ComDevice(const ComDevice&) = delete;
    ComDevice& operator=(const ComDevice&) = delete;

    int fd() const { return fd_.get(); }

    // Raw 8-bit line with the given settings; throws "Error writing dcb (%d), %s".
    void apply(const LineSettings& settings);

    // Bytes waiting in the driver's input queue; -1 with errno set on failure.
    int inputCount() const;

    // The driver's error counters, false when it keeps none (a pseudo-terminal).
    bool errorCounts(LineErrorCounts& counts) const;

private:
    UniqueFd fd_;
};

// CE_* flags for the counters that grew from before to after.
int errorFlagsBetween(const LineErrorCounts& before, const LineErrorCounts& after);

// "(<code>), <text>" parts of the messages: the platform's text for an errno.
std::string errorText(int code);

// "Can't open specified device %s (Error %d, %s)" or "Specified device not found (%s).";
// permission problems name the group that owns the device.
EComPortError openError(const std::string& path, const std::string& displayName, int code);

}  // namespace qr::serial

#pragma once
// The serial port component: one serial device, opened by number through a name pattern
// ("COM%d"), with a receive thread and a write thread. Notifications reach the GUI thread
// through a blocking hand-off: the receive thread waits until the handler has returned.
//
// This header is the component's public face that the windows use. Its implementation
// (termios, poll, ioctl, threads, hand-off) lives beside it.
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace qr {

// Every failure of the component, with its English text.
class EComPortError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TComBaudrate {
    brUser, br110, br300, br600, br1200, br2400, br4800, br9600, br14400, br19200, br38400,
    br56000, br57600, br115200, br128000, br256000
};
enum class TComParity { paNone, paOdd, paEven, paMark, paSpace };
enum class TComDatabits { db4, db5, db6, db7, db8 };
enum class TComStopbits { sb1, sb15, sb2 };
enum class TComDtrControl { dtrDisabled, dtrEnabled, dtrHandshake };
enum class TComRtsControl { rtsDisabled, rtsEnabled, rtsHandshake, rtsToggle };
enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// Bits per second of a baud rate (brUser: 0, the component uses UserBaudrate).
int baudrateValue(TComBaudrate rate);

// Line-error flags passed to OnError.
enum : int {
    CE_RXOVER = 0x0001, CE_OVERRUN = 0x0002, CE_RXPARITY = 0x0004, CE_FRAME = 0x0008,
    CE_BREAK = 0x0010, CE_TXFULL = 0x0100, CE_PTO = 0x0200, CE_IOE = 0x0400, CE_DNS = 0x0800,
    CE_OOP = 0x1000, CE_MODE = 0x8000
};

class TCustomComPort;
using TComPortRxCharEvent = std::function<void(TCustomComPort& sender, int count)>;
using TComPortErrorEvent = std::function<void(TCustomComPort& sender, int errors)>;

class TCustomComPort {
public:
    TCustomComPort();
    virtual ~TCustomComPort();  // closes the port (with its pause) and stops the threads
    TCustomComPort(const TCustomComPort&) = delete;
    TCustomComPort& operator=(const TCustomComPort&) = delete;

    // Opens the device PortNum names and starts the threads. Throws EComPortError
    // ("Specified device not found (COM3 (/dev/ttyUSB2)).", "Can't open specified device
    // ... (Error %d, %s)", "Can't perform this operation while port is open", ...).
    void Open();
    // Stops the threads and closes the device, then pauses 300 ms; nothing when closed.
    // Safe from the GUI thread while a hand-off is pending and from inside a handler.
    void Close();
    bool IsOpen() const;

    // Queues every byte of text (NUL bytes included); true when all were queued. Throws
    // "Output buffer is full. Please check comm status." after WriteTimeout.
    bool WriteText(const std::string& text);
    // Every byte waiting now, possibly none; never waits for more.
    std::string ReadText();

    // Properties the program uses.
    TComBaudrate Baudrate() const;
    void setBaudrate(TComBaudrate rate);  // applied at once to an open device
    int PortNum() const;
    void setPortNum(int number);  // throws while open
    std::string DeviceName() const;
    void setDeviceName(const std::string& pattern);  // "COM%d"; throws while open

    TComPortRxCharEvent OnRxChar;  // called on the GUI thread; count >= 1
    TComPortErrorEvent OnError;    // called on the GUI thread; errors != 0

    // ... the remaining properties of the component (Parity, Databits, Stopbits,
    // FlowControl, EventChars, Buffers, priorities, ...) are declared by the implementation.

protected:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

class TComPort : public TCustomComPort {
public:
    using TCustomComPort::TCustomComPort;
};

// The formatted device name ("COM3") resolved to a device path: the "Ports" entry of the
// settings store, else COM1-4 /dev/ttyUSB0-3, COM5-8 /dev/ttyACM0-3, COM9-20 /dev/ttyS0-11.
std::string resolveDevicePath(const std::string& formattedName);

}  // namespace qr

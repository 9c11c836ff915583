#pragma once
// The serial port component: one serial device, opened by number through a name pattern
// ("COM%d"), with a receive thread and a write thread. Notifications reach the GUI thread
// through a blocking hand-off: the receive thread waits until the handler has returned.
//
// This header is the component's public face that the windows use. Its implementation
// (termios, poll, ioctl, threads, hand-off) lives beside it.
//
// Threads: every member is called on the GUI thread (the thread of the QCoreApplication).
// Handlers run there too, from the event loop: a caller that waits for a notification
// must let the loop run (QCoreApplication::processEvents). Without an application object
// the port still reads and writes, but no notification is delivered.
#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>

namespace qr {

// Turns a formatted device name ("COM3") into a device path; the empty text for none.
// The component reads no settings: whoever creates ports decides where the names lead.
using DeviceResolver = std::function<std::string(const std::string& formattedName)>;

// Every failure of the component, with its English text.
class EComPortError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TComBaudrate {
    brUser,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000
};
enum class TComParity { paNone, paOdd, paEven, paMark, paSpace };
enum class TComDatabits { db4, db5, db6, db7, db8 };
enum class TComStopbits { sb1, sb15, sb2 };
enum class TComDtrControl { dtrDisabled, dtrEnabled, dtrHandshake };
enum class TComRtsControl { rtsDisabled, rtsEnabled, rtsHandshake, rtsToggle };
enum class TThreadPriority {
    tpIdle,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical
};
enum class TComOption { coErrorChar, coNullStrip, coParityCheck };
enum class TComLineEvent {
    ceBreak,
    ceCts,
    ceDsr,
    ceError,
    ceRing,
    ceRlsd,
    ceRxChar,
    ceTxEmpty,
    ceRxFlag,
    cePErr,
    ceRx80Full,
    ceEvent1,
    ceEvent2
};

// Bits per second of a baud rate (brUser: 0, the component uses UserBaudrate).
int baudrateValue(TComBaudrate rate);

// Line-error flags passed to OnError.
enum : int {
    CE_RXOVER = 0x0001,
    CE_OVERRUN = 0x0002,
    CE_RXPARITY = 0x0004,
    CE_FRAME = 0x0008,
    CE_BREAK = 0x0010,
    CE_TXFULL = 0x0100,
    CE_PTO = 0x0200,
    CE_IOE = 0x0400,
    CE_DNS = 0x0800,
    CE_OOP = 0x1000,
    CE_MODE = 0x8000
};

// Line-event bits of the event mask.
enum : int {
    EV_RXCHAR = 0x0001,
    EV_RXFLAG = 0x0002,
    EV_TXEMPTY = 0x0004,
    EV_CTS = 0x0008,
    EV_DSR = 0x0010,
    EV_RLSD = 0x0020,
    EV_BREAK = 0x0040,
    EV_ERR = 0x0080,
    EV_RING = 0x0100,
    EV_PERR = 0x0200,
    EV_RX80FULL = 0x0400,
    EV_EVENT1 = 0x0800,
    EV_EVENT2 = 0x1000
};
int lineEventBit(TComLineEvent event);

// A small set of enumeration values (the component's option and event sets).
template <typename E>
class TComSet {
public:
    constexpr TComSet() = default;
    constexpr TComSet(std::initializer_list<E> values) {
        for (E v : values) include(v);
    }
    constexpr bool has(E v) const { return (bits_ >> static_cast<int>(v)) & 1u; }
    constexpr void include(E v) { bits_ |= 1u << static_cast<int>(v); }
    constexpr void exclude(E v) { bits_ &= ~(1u << static_cast<int>(v)); }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr std::uint32_t bits() const { return bits_; }
    friend constexpr bool operator==(TComSet, TComSet) = default;

private:
    std::uint32_t bits_ = 0;
};
using TComOptions = TComSet<TComOption>;
using TComEvents = TComSet<TComLineEvent>;

class TCustomComPort;

// The settings groups. Each tells its component of every change (an open device gets new
// line settings at once, or the change is refused while open, as the component says);
// BeginUpdate/EndUpdate batch several changes into one.
class TComPersistent {
public:
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();

protected:
    explicit TComPersistent(TCustomComPort& owner) : owner_(owner) {}
    void changed();
    // Throws "Can't perform this operation while port is open" when the owner is open.
    void requireClosed() const;
    virtual void notifyOwner() = 0;
    virtual ~TComPersistent() = default;

    TCustomComPort& owner_;
    int updateCount_ = 0;
    bool changedInUpdate_ = false;
};

// Queue sizes and time-outs; none of them may change while the port is open.
class TComBuffers : public TComPersistent {
public:
    explicit TComBuffers(TCustomComPort& owner) : TComPersistent(owner) {}
    int ReadSize() const { return readSize_; }
    int WriteSize() const { return writeSize_; }
    int ReadTimeout() const { return readTimeout_; }
    int WriteTimeout() const { return writeTimeout_; }
    int XonLimit() const { return xonLimit_; }
    int XoffLimit() const { return xoffLimit_; }
    void setReadSize(int value) { set(readSize_, value); }
    void setWriteSize(int value) { set(writeSize_, value); }
    void setReadTimeout(int value) { set(readTimeout_, value); }
    void setWriteTimeout(int value) { set(writeTimeout_, value); }
    void setXonLimit(int value) { set(xonLimit_, value); }
    void setXoffLimit(int value) { set(xoffLimit_, value); }

private:
    void set(int& field, int value);
    void notifyOwner() override {}
    int readSize_ = 4096, writeSize_ = 2048, readTimeout_ = 1000, writeTimeout_ = 1000;
    int xonLimit_ = 1024, xoffLimit_ = 1024;
};

// Flow control; every member off by default. A change reaches an open device at once.
class TComFlowControl : public TComPersistent {
public:
    explicit TComFlowControl(TCustomComPort& owner) : TComPersistent(owner) {}
    bool OutCtsFlow() const { return outCtsFlow_; }
    bool OutDsrFlow() const { return outDsrFlow_; }
    TComDtrControl ControlDtr() const { return controlDtr_; }
    TComRtsControl ControlRts() const { return controlRts_; }
    bool XonXoffOut() const { return xonXoffOut_; }
    bool XonXoffIn() const { return xonXoffIn_; }
    bool DsrSensitivity() const { return dsrSensitivity_; }
    bool TxContinueOnXoff() const { return txContinueOnXoff_; }
    void setOutCtsFlow(bool value) { set(outCtsFlow_, value); }
    void setOutDsrFlow(bool value) { set(outDsrFlow_, value); }
    void setControlDtr(TComDtrControl value) { set(controlDtr_, value); }
    void setControlRts(TComRtsControl value) { set(controlRts_, value); }
    void setXonXoffOut(bool value) { set(xonXoffOut_, value); }
    void setXonXoffIn(bool value) { set(xonXoffIn_, value); }
    void setDsrSensitivity(bool value) { set(dsrSensitivity_, value); }
    void setTxContinueOnXoff(bool value) { set(txContinueOnXoff_, value); }

private:
    template <typename T>
    void set(T& field, T value) {
        if (field == value) return;
        field = value;
        changed();
    }
    void notifyOwner() override;
    bool outCtsFlow_ = false, outDsrFlow_ = false;
    TComDtrControl controlDtr_ = TComDtrControl::dtrDisabled;
    TComRtsControl controlRts_ = TComRtsControl::rtsDisabled;
    bool xonXoffOut_ = false, xonXoffIn_ = false, dsrSensitivity_ = false,
         txContinueOnXoff_ = false;
};

// The special characters; a change reaches an open device at once.
class TComEventChars : public TComPersistent {
public:
    explicit TComEventChars(TCustomComPort& owner) : TComPersistent(owner) {}
    char XonChar() const { return xonChar_; }
    char XoffChar() const { return xoffChar_; }
    char ErrorChar() const { return errorChar_; }
    char EventChar() const { return eventChar_; }
    char EofChar() const { return eofChar_; }
    void setXonChar(char value) { set(xonChar_, value); }
    void setXoffChar(char value) { set(xoffChar_, value); }
    void setErrorChar(char value) { set(errorChar_, value); }
    void setEventChar(char value) { set(eventChar_, value); }
    void setEofChar(char value) { set(eofChar_, value); }

private:
    void set(char& field, char value) {
        if (field == value) return;
        field = value;
        changed();
    }
    void notifyOwner() override;
    char xonChar_ = 17, xoffChar_ = 19, errorChar_ = 0, eventChar_ = 0, eofChar_ = 0;
};

using TComPortRxCharEvent = std::function<void(TCustomComPort& sender, int count)>;
using TComPortErrorEvent = std::function<void(TCustomComPort& sender, int errors)>;
using TComPortNotifyEvent = std::function<void(TCustomComPort& sender)>;

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
    // Safe from the GUI thread while a hand-off is pending and from inside a handler: a
    // hand-off the receive thread is blocked in is served here (its handler runs inside
    // Close). A handler that Close runs must not destroy the component.
    void Close();
    bool IsOpen() const;

    // Queues every byte of text (NUL bytes included); true when all were queued. Throws
    // "Output buffer is full. Please check comm status." after WriteTimeout. On a closed
    // port, and on a port whose device has hung up, it queues nothing and returns whether
    // text is empty.
    bool WriteText(const std::string& text);
    // Every byte waiting now, possibly none; never waits for more. After a hang-up it
    // returns what was still waiting, then the empty text.
    std::string ReadText();
    // Bytes waiting now (0 when closed).
    int InputCount();

    // Properties the program uses.
    TComBaudrate Baudrate() const;
    void setBaudrate(TComBaudrate rate);  // applied at once to an open device
    int PortNum() const;
    void setPortNum(int number);  // throws while open
    std::string DeviceName() const;
    void setDeviceName(const std::string& pattern);  // "COM%d"; throws while open

    TComPortRxCharEvent OnRxChar;  // called on the GUI thread; count >= 1
    // Called on the GUI thread; errors != 0: the CE_ flags of line errors the driver counted
    // (where it counts them), and CE_IOE once when the device hung up or failed. After that
    // the port stays open but dead: WriteText returns false, ReadText the empty text, until
    // Close.
    TComPortErrorEvent OnError;
    TComPortNotifyEvent OnOpen;   // after a successful Open
    TComPortNotifyEvent OnClose;  // after Close (not when destroyed)

    // The remaining properties, with the component's defaults.
    bool AutoOpen() const;
    void setAutoOpen(bool value);
    int UserBaudrate() const;
    void setUserBaudrate(int bitsPerSecond);  // applied at once while open
    TComParity Parity() const;
    void setParity(TComParity value);  // applied at once while open
    TComDatabits Databits() const;
    void setDatabits(TComDatabits value);  // applied at once while open
    TComStopbits Stopbits() const;
    void setStopbits(TComStopbits value);  // applied at once while open
    TComOptions Options() const;
    void setOptions(TComOptions value);  // applied at once while open
    TComEvents MonitorEvents() const;
    void setMonitorEvents(TComEvents value);  // throws while open
    TThreadPriority EventPriority() const;
    void setEventPriority(TThreadPriority value);
    TThreadPriority WritePriority() const;
    void setWritePriority(TThreadPriority value);
    bool DirectWrite() const;
    void setDirectWrite(bool value);  // throws while open; direct mode is not offered
    bool UpdateDCB() const;
    void setUpdateDCB(bool value);  // throws while open
    std::string Version() const { return "1.0.0.0"; }
    TComBuffers& Buffers();
    TComFlowControl& FlowControl();
    TComEventChars& EventChars();

    // The formatted device name ("COM3") and what the component names in messages
    // ("COM3 (/dev/ttyUSB0)"); the path is resolved afresh on each Open.
    std::string FormattedName() const;
    // The event mask Open sets: the monitored events, less EV_TXEMPTY.
    int EventMask() const;

    // Where an exception that leaves a handler goes. By default it is thrown again from
    // a fresh event of the application, so the application's notify shows it as any
    // other handler error. The receive thread goes on either way.
    using ExceptionReporter = std::function<void(std::exception_ptr)>;
    static void setExceptionReporter(ExceptionReporter reporter);

    // How this port's formatted name becomes a device path on each Open; empty: the
    // process's default resolver.
    void setDeviceResolver(DeviceResolver resolver);
    // The resolver of ports that have none of their own. Without one, the default mapping
    // (defaultDevicePath). The program installs the one of its settings at start-up.
    static void setDefaultDeviceResolver(DeviceResolver resolver);

    // The line settings changed: re-applied at once to an open device (used by the
    // settings groups).
    void settingsChanged();

protected:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

class TComPort : public TCustomComPort {
public:
    using TCustomComPort::TCustomComPort;
};

// The default mapping of formatted names to device paths: COM1-4 /dev/ttyUSB0-3,
// COM5-8 /dev/ttyACM0-3, COM9-20 /dev/ttyS0-11; any other name has no device (empty text).
std::string defaultDevicePath(const std::string& formattedName);

// The formatted device name ("COM3") resolved to a device path. A name that is itself a
// path ("/dev/ttyUSB0") stays as it is; any other goes to the resolver given (or, without
// one, the process's default resolver, see TCustomComPort::setDefaultDeviceResolver).
std::string resolveDevicePath(const std::string& formattedName,
                              const DeviceResolver& resolver = {});

// DeviceName with its placeholder filled ("COM%d", 3 -> "COM3"; "%%" is a percent sign).
std::string formatDeviceName(const std::string& pattern, int number);

}  // namespace qr

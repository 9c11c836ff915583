#pragma once
// The inside of the serial port component, shared by its files.
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "common/UniqueFd.h"
#include "serial/ComDevice.h"
#include "serial/HandOff.h"
#include "serial/TComPort.h"

namespace qr {

struct TCustomComPort::Impl {
    explicit Impl(TCustomComPort& owner)
        : self(owner), buffers(owner), flowControl(owner), eventChars(owner) {}

    TCustomComPort& self;

    // Properties.
    TComBaudrate baudrate = TComBaudrate::br1200;
    int userBaudrate = 0;
    TComParity parity = TComParity::paNone;
    TComDatabits databits = TComDatabits::db8;
    TComStopbits stopbits = TComStopbits::sb1;
    TComOptions options;
    TComEvents monitorEvents{TComLineEvent::ceError, TComLineEvent::ceRxChar,
                             TComLineEvent::ceTxEmpty};
    int portNum = 0;
    std::string deviceName = "COM%d";
    DeviceResolver deviceResolver;  // empty: the default resolver
    TThreadPriority eventPriority = TThreadPriority::tpNormal;
    TThreadPriority writePriority = TThreadPriority::tpHighest;
    bool directWrite = false;
    bool updateDCB = true;
    bool autoOpen = false;
    TComBuffers buffers;
    TComFlowControl flowControl;
    TComEventChars eventChars;

    // State while open. The device, the sizes and the wake-up descriptors do not change
    // between Open and the end of Close, so the threads read them without a lock.
    std::unique_ptr<serial::ComDevice> device;
    std::string displayName;
    std::size_t readSize = 4096;
    std::size_t writeSize = 2048;
    int eventMask = 0;
    UniqueFd stopFd;    // readable from the moment Close begins
    UniqueFd rxWakeFd;  // the input queue has room again, or the device failed
    bool closing = false;
    bool destroying = false;

    // The read lock: the input queue, reads from the device, the error counters.
    std::recursive_mutex readLock;
    std::string inputQueue;
    serial::LineErrorCounts errorCounts;
    bool haveErrorCounts = false;
    // Error flags the receive thread found, for the OnError of its hand-off. A status
    // query (ReadText in the receive handler) does not take them away, so errors that come
    // with received bytes still reach OnError.
    std::atomic<int> pendingErrors{0};
    std::atomic<bool> broken{false};  // the device hung up or failed
    bool failureReported = false;     // receive thread only

    // The write lock: the write buffer.
    std::mutex writeLock;
    std::condition_variable_any dataQueued;  // for the write thread
    std::condition_variable spaceFreed;      // for WriteText
    std::string writeBuffer;

    std::shared_ptr<serial::HandOff> handOff;
    std::jthread receiveThread;
    std::jthread writeThread;

    // Stops the threads (serving their hand-offs) and closes the device.
    void shutDown();
    serial::LineSettings lineSettings() const;
    void applyLineSettings();
    int statusQuery();  // bytes waiting (input queue and driver)
    // Moves up to max bytes from the device into the input queue (read lock held). A
    // hang-up marks the device failed; with raise, other read failures throw "Read error".
    std::size_t fillInputQueue(std::size_t max, bool raise = false);
    void markBroken();
    void receiveLoop(std::stop_token stop, TThreadPriority priority);
    void writeLoop(std::stop_token stop, TThreadPriority priority);
    void dispatch(int events);
    static void wake(const UniqueFd& fd);
};

// Hands an exception that left a handler to the reporter (TCustomComPort::setExceptionReporter).
void reportComPortHandlerException(std::exception_ptr error);

}  // namespace qr

// Opening, closing, reading and writing of the serial port component.
#include "serial/TComPort.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <cerrno>
#include <chrono>
#include <thread>

#include "serial/ComPortImpl.h"

namespace qr {

namespace {

constexpr const char* kWhileOpen = "Can't perform this operation while port is open";
constexpr auto kClosePause = std::chrono::milliseconds(300);

std::mutex reporterMutex;
TCustomComPort::ExceptionReporter reporter;

void reportHandlerException(std::exception_ptr error) {
    TCustomComPort::ExceptionReporter report;
    {
        std::lock_guard lock(reporterMutex);
        report = reporter;
    }
    if (report) {
        report(error);
        return;
    }
    // Thrown again from an event of its own, so the application's net catches it.
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [error] { std::rethrow_exception(error); }, Qt::QueuedConnection);
}

UniqueFd makeEventFd() {
    UniqueFd fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (!fd)
        throw EComPortError(" Error setting EventMask (" + std::to_string(errno) + "), " +
                            serial::errorText(errno));
    return fd;
}

}  // namespace

void TCustomComPort::setDeviceResolver(DeviceResolver resolver) {
    impl_->deviceResolver = std::move(resolver);
}

void TCustomComPort::setExceptionReporter(ExceptionReporter report) {
    std::lock_guard lock(reporterMutex);
    reporter = std::move(report);
}

TCustomComPort::TCustomComPort() : impl_(std::make_unique<Impl>(*this)) {}

TCustomComPort::~TCustomComPort() {
    impl_->destroying = true;
    Close();
}

bool TCustomComPort::IsOpen() const {
    return impl_->device != nullptr;
}

std::string TCustomComPort::FormattedName() const {
    return formatDeviceName(impl_->deviceName, impl_->portNum);
}

void TCustomComPort::Open() {
    Impl& d = *impl_;
    if (d.device) throw EComPortError(kWhileOpen);
    const std::string name = FormattedName();
    const std::string path = resolveDevicePath(name, d.deviceResolver);
    const std::string display = path.empty() || path == name ? name : name + " (" + path + ")";

    auto device = std::make_unique<serial::ComDevice>(path, display);  // throws
    d.displayName = display;
    d.device = std::move(device);
    try {
        if (d.updateDCB) d.applyLineSettings();
        d.readSize = static_cast<std::size_t>(std::max(1, d.buffers.ReadSize()));
        d.writeSize = static_cast<std::size_t>(std::max(0, d.buffers.WriteSize()));
        d.eventMask = EventMask();
        d.stopFd = makeEventFd();
        d.rxWakeFd = makeEventFd();
        d.broken = false;
        d.failureReported = false;
        d.pendingErrors = 0;
        d.inputQueue.clear();
        d.writeBuffer.clear();
        d.haveErrorCounts = d.device->errorCounts(d.errorCounts);
        d.handOff = std::make_shared<serial::HandOff>([&d](int events) { d.dispatch(events); });
        if (d.eventMask != 0) {
            d.handOff->workerStarted();
            try {
                d.receiveThread = std::jthread(
                    [&d](std::stop_token stop, TThreadPriority priority) {
                        d.receiveLoop(stop, priority);
                        d.handOff->workerDone();
                    },
                    d.eventPriority);
            } catch (...) {
                d.handOff->workerDone();
                throw;
            }
        }
        d.writeThread = std::jthread(
            [&d](std::stop_token stop, TThreadPriority priority) { d.writeLoop(stop, priority); },
            d.writePriority);
    } catch (const std::system_error& e) {
        d.shutDown();
        throw EComPortError("Can't create thread (" + std::to_string(e.code().value()) + "), " +
                            e.code().message());
    } catch (...) {
        d.shutDown();  // an open that failed leaves the port closed, without a pause
        throw;
    }
    if (OnOpen) {
        try {
            auto handler = OnOpen;
            handler(*this);
        } catch (...) {
            reportHandlerException(std::current_exception());
        }
    }
}

void TCustomComPort::Close() {
    Impl& d = *impl_;
    if (!d.device || d.closing) return;
    d.shutDown();
    if (!d.destroying && OnClose) {
        try {
            auto handler = OnClose;
            handler(*this);
        } catch (...) {
            reportHandlerException(std::current_exception());
        }
    }
    std::this_thread::sleep_for(kClosePause);
}

bool TCustomComPort::WriteText(const std::string& text) {
    Impl& d = *impl_;
    if (!d.device || d.closing) return text.empty();
    if (text.empty()) return true;
    if (d.broken) return false;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(d.buffers.WriteTimeout());
    std::unique_lock lock(d.writeLock);
    const bool room = d.spaceFreed.wait_until(lock, deadline, [&] {
        return d.broken || text.size() + d.writeBuffer.size() <= d.writeSize;
    });
    if (d.broken) return false;
    if (!room) throw EComPortError("Output buffer is full. Please check comm status.");
    d.writeBuffer += text;
    lock.unlock();
    d.dataQueued.notify_all();
    return true;
}

int TCustomComPort::InputCount() {
    if (!impl_->device) return 0;
    return impl_->statusQuery();
}

std::string TCustomComPort::ReadText() {
    Impl& d = *impl_;
    std::lock_guard lock(d.readLock);
    if (!d.device) return {};
    const std::size_t waiting = static_cast<std::size_t>(d.statusQuery());
    if (waiting == 0) return {};
    const bool wasFull = d.inputQueue.size() >= d.readSize;
    if (waiting > d.inputQueue.size()) d.fillInputQueue(waiting - d.inputQueue.size(), true);
    std::string text = std::move(d.inputQueue);
    d.inputQueue.clear();
    if (wasFull) Impl::wake(d.rxWakeFd);
    return text;
}

// ---- inside -------------------------------------------------------------------------

void TCustomComPort::Impl::shutDown() {
    closing = true;
    receiveThread.request_stop();
    writeThread.request_stop();
    wake(stopFd);
    // Hand-offs the receive thread is blocked in are still served here (a handler may run
    // during Close); the thread also gives up waiting once it has been told to stop.
    if (handOff) handOff->serveUntilWorkersDone();
    if (receiveThread.joinable()) receiveThread.join();
    if (writeThread.joinable()) writeThread.join();
    receiveThread = {};
    writeThread = {};
    if (handOff) handOff->detach();
    handOff.reset();
    {
        std::lock_guard lock(readLock);
        device.reset();
        inputQueue.clear();
    }
    {
        std::lock_guard lock(writeLock);
        writeBuffer.clear();  // bytes not yet sent are dropped
    }
    stopFd.reset();
    rxWakeFd.reset();
    closing = false;
}

void reportComPortHandlerException(std::exception_ptr error) {
    reportHandlerException(error);
}

void TCustomComPort::Impl::wake(const UniqueFd& fd) {
    if (!fd) return;
    const std::uint64_t one = 1;
    (void)!::write(fd.get(), &one, sizeof one);
}

int TCustomComPort::Impl::statusQuery() {
    std::lock_guard lock(readLock);
    int waiting = 0;
    if (!broken) {
        waiting = device->inputCount();
        if (waiting < 0) {
            const int code = errno;
            if (code != EIO && code != ENXIO && code != ENODEV)
                throw EComPortError("Error retrieving statistics (" + std::to_string(code) + "), " +
                                    serial::errorText(code));
            markBroken();
            waiting = 0;
        }
    }
    return static_cast<int>(inputQueue.size()) + waiting;
}

std::size_t TCustomComPort::Impl::fillInputQueue(std::size_t max, bool raise) {
    std::lock_guard lock(readLock);
    std::size_t total = 0;
    char chunk[4096];
    while (total < max && !broken) {
        const ssize_t n = ::read(device->fd(), chunk, std::min(sizeof chunk, max - total));
        if (n > 0) {
            inputQueue.append(chunk, static_cast<std::size_t>(n));
            total += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            break;
        } else {
            const int code = n < 0 ? errno : 0;
            markBroken();  // 0: hung up; EIO: the device is gone
            if (raise && code != 0 && code != EIO && code != ENXIO && code != ENODEV)
                throw EComPortError("Read error (" + std::to_string(code) + "), " +
                                    serial::errorText(code));
        }
    }
    return total;
}

void TCustomComPort::Impl::markBroken() {
    if (broken.exchange(true)) return;
    wake(rxWakeFd);
    {
        std::lock_guard lock(writeLock);  // no lost wake-up for WriteText or the writer
    }
    spaceFreed.notify_all();
    dataQueued.notify_all();
}

}  // namespace qr

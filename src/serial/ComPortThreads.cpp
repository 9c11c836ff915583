// The receive thread, the write thread and the handling of a hand-off on the GUI thread.
#include <poll.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "serial/ComPortImpl.h"

namespace qr {

namespace {

// Nice values for the thread priorities. Raising a thread above normal needs a privilege
// that a desktop user rarely has; then the thread simply runs at normal priority.
void setThreadPriority(TThreadPriority priority) {
    static constexpr int kNice[] = {19, 2, 1, 0, -1, -2, -20};
    const int nice = kNice[static_cast<int>(priority)];
    if (nice == 0) return;
    (void)::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), nice);
}

void drain(const UniqueFd& fd) {
    std::uint64_t value = 0;
    (void)!::read(fd.get(), &value, sizeof value);
}

}  // namespace

void TCustomComPort::Impl::receiveLoop(std::stop_token stop, TThreadPriority priority) {
    setThreadPriority(priority);
    const int fd = device->fd();
    while (!stop.stop_requested()) {
        bool room;
        {
            std::lock_guard lock(readLock);
            room = inputQueue.size() < readSize;
        }
        // After a failure the device is left alone: it would report its hang-up forever.
        pollfd fds[3] = {{broken ? -1 : fd, static_cast<short>(room ? POLLIN : 0), 0},
                         {stopFd.get(), POLLIN, 0},
                         {rxWakeFd.get(), POLLIN, 0}};
        if (::poll(fds, 3, -1) < 0) {
            if (errno == EINTR) continue;
            markBroken();
            fds[0].revents = 0;
        }
        if (fds[1].revents) break;
        if (fds[2].revents) drain(rxWakeFd);

        int events = 0;
        if (fds[0].revents & POLLIN) {
            std::lock_guard lock(readLock);
            if (fillInputQueue(readSize - std::min(readSize, inputQueue.size())) > 0)
                events |= EV_RXCHAR;
            serial::LineErrorCounts now;
            if (haveErrorCounts && device->errorCounts(now)) {
                if (const int flags = serial::errorFlagsBetween(errorCounts, now)) {
                    pendingErrors |= flags;
                    events |= EV_ERR;
                }
                errorCounts = now;
            }
        }
        if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            // What the device still holds goes to the input queue, where ReadText finds it.
            std::lock_guard lock(readLock);
            if (!broken && fillInputQueue(SIZE_MAX) > 0) events |= EV_RXCHAR;
            markBroken();
        }
        if (broken && !failureReported) {
            failureReported = true;
            pendingErrors |= CE_IOE;
            events |= EV_ERR;
        }
        events &= eventMask;
        if (events != 0) handOff->deliver(events, stop);
    }
}

void TCustomComPort::Impl::writeLoop(std::stop_token stop, TThreadPriority priority) {
    setThreadPriority(priority);
    const int fd = device->fd();
    std::string pending;
    while (!stop.stop_requested()) {
        {
            std::unique_lock lock(writeLock);
            // A failed device is not written again: the thread just waits for Close.
            if (!dataQueued.wait(lock, stop, [&] { return !writeBuffer.empty() && !broken; }))
                return;
            pending.assign(writeBuffer);
        }
        const ssize_t n = ::write(fd, pending.data(), pending.size());
        if (n > 0) {
            {
                std::lock_guard lock(writeLock);
                writeBuffer.erase(0, static_cast<std::size_t>(n));
            }
            spaceFreed.notify_all();
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            pollfd fds[2] = {{fd, POLLOUT, 0}, {stopFd.get(), POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 && errno != EINTR) markBroken();
            if (fds[1].revents) return;
            if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) markBroken();
        } else {
            markBroken();  // the receive thread reports it as CE_IOE
        }
    }
}

void TCustomComPort::Impl::dispatch(int events) {
    // A handler may close the component or even destroy it: after each handler, go on
    // only while the hand-off is still attached to this component.
    const std::shared_ptr<serial::HandOff> link = handOff;
    TCustomComPort& sender = self;
    if (events & EV_RXCHAR) {
        try {
            const int count = device ? statusQuery() : 0;
            if (count > 0 && sender.OnRxChar) {
                auto handler = sender.OnRxChar;
                handler(sender, count);
            }
        } catch (...) {
            reportComPortHandlerException(std::current_exception());
        }
        if (!link->attached()) return;
    }
    if (events & EV_ERR) {
        try {
            const int errors = pendingErrors.exchange(0);
            if (errors != 0 && sender.OnError) {
                auto handler = sender.OnError;
                handler(sender, errors);
            }
        } catch (...) {
            reportComPortHandlerException(std::current_exception());
        }
    }
}

}  // namespace qr

#pragma once
// A pseudo-terminal pair for tests: the test plays the far end on the master side, the
// component opens the slave by its path. The path is entered in the "Ports" group of the
// test's settings store, so the component finds it as "COM<n>".
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QString>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>

#include "common/FdIo.h"
#include "support/EventPump.h"
#include "support/PortMapping.h"
#include "support/Pty.h"

namespace qr::test {

class PtyPair {
public:
    PtyPair() {
        PtyMaster pty = openPty(true);
        master_ = pty.fd.release();
        slavePath_ = std::move(pty.slavePath);
    }
    ~PtyPair() { closeMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& slavePath() const { return slavePath_; }
    int master() const { return master_; }

    // Enters the slave as COM<number> into the current user's settings store.
    void registerAs(int number) const { mapPort(number, slavePath_); }

    void send(const std::string& bytes) const { (void)writeAll(master_, bytes); }

    // Reads what the master side has received until count bytes came or the time ran out.
    std::string receive(std::size_t count,
                        std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
        std::string out;
        const auto end = std::chrono::steady_clock::now() + timeout;
        while (out.size() < count && std::chrono::steady_clock::now() < end) {
            char buf[4096];
            const ssize_t n = ::read(master_, buf, sizeof buf);
            if (n > 0)
                out.append(buf, static_cast<std::size_t>(n));
            else {
                pollfd p{master_, POLLIN, 0};
                ::poll(&p, 1, 20);
            }
        }
        return out;
    }

    // The termios of the slave as the master sees it.
    termios attributes() const {
        termios t{};
        ::tcgetattr(master_, &t);
        return t;
    }

    void closeMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    std::string slavePath_;
};

}  // namespace qr::test

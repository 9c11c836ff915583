#pragma once
// The one pseudo-terminal opener of the tests: the test plays the far end on the master
// side, the program opens the slave by its path.
#include <fcntl.h>
#include <stdlib.h>

#include <stdexcept>
#include <string>

#include "common/UniqueFd.h"

namespace qr::test {

struct PtyMaster {
    UniqueFd fd;
    std::string slavePath;
};

// Throws std::runtime_error when no pseudo-terminal can be had.
inline PtyMaster openPty(bool nonBlocking) {
    PtyMaster pty;
    pty.fd.reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | (nonBlocking ? O_NONBLOCK : 0)));
    if (!pty.fd || ::grantpt(pty.fd.get()) != 0 || ::unlockpt(pty.fd.get()) != 0)
        throw std::runtime_error("no pseudo-terminal");
    char name[128];
    if (::ptsname_r(pty.fd.get(), name, sizeof name) != 0) throw std::runtime_error("ptsname");
    pty.slavePath = name;
    return pty;
}

}  // namespace qr::test

#include "common/FdIo.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace qr {

int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                pollfd p{fd, POLLOUT, 0};
                ::poll(&p, 1, 50);
                continue;
            }
            return errno;
        }
        if (n == 0) return ENOSPC;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

int readAll(int fd, std::string& out) {
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return 0;
        out.append(chunk, static_cast<std::size_t>(n));
    }
}

}  // namespace qr

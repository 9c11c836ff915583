#include "common/WholeFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "app/FileErrors.h"
#include "common/CompleteFile.h"

namespace qr {

std::string readWholeFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throwFileError(errno);
    const FileHandle file(fd);
    std::string bytes;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(file.fd(), chunk, sizeof chunk);
        if (n < 0) {
            if (errno == EINTR) continue;
            throwFileError(errno);
        }
        if (n == 0) return bytes;
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
}

}  // namespace qr

// qvd-vali FILE: checks the G record of an .igc file written by the program.
// Exit status 0 when the signature holds, 1 when it does not or the file cannot be read,
// 2 for a wrong command line.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>

#include "GRecordCheck.h"

namespace {

// The whole file, or nothing with errno set.
std::optional<std::string> readFile(const char* path) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string bytes;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const int err = errno;
            ::close(fd);
            errno = err;
            if (n < 0) return std::nullopt;
            return bytes;
        }
        bytes.append(chunk, static_cast<std::size_t>(n));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::cerr << "Usage: qvd-vali FILE.igc\n"
                     "Checks the file's GValdorine G record against its data.\n";
        return argc == 2 ? 0 : 2;
    }
    const std::optional<std::string> bytes = readFile(argv[1]);
    if (!bytes) {
        std::cout << "Validation check failed: cannot read " << argv[1] << ": "
                  << std::strerror(errno) << '\n';
        return 1;
    }
    const qr::vali::CheckResult result = qr::vali::CheckGRecord(*bytes);
    if (result.passed) {
        std::cout << "Validation check passed, data indicated as correct\n";
        return 0;
    }
    std::cout << "Validation check failed: " << result.reason << '\n';
    return 1;
}

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
#include "common/FdIo.h"
#include "common/UniqueFd.h"

namespace {

// The whole file, or nothing with errno set.
std::optional<std::string> readFile(const char* path) {
    const qr::UniqueFd file(::open(path, O_RDONLY | O_CLOEXEC));
    if (!file) return std::nullopt;
    std::string bytes;
    if (const int err = qr::readAll(file.get(), bytes)) {
        errno = err;
        return std::nullopt;
    }
    return bytes;
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

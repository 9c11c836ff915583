#include "common/WholeFile.h"

#include <fcntl.h>

#include <cerrno>

#include "common/FdIo.h"
#include "common/FileErrors.h"
#include "common/UniqueFd.h"

namespace qr {

std::string readWholeFile(const std::string& path) {
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file) throwFileError(errno);
    std::string bytes;
    if (const int err = readAll(file.get(), bytes)) throwFileError(err);
    return bytes;
}

}  // namespace qr

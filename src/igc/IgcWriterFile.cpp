#include "igc/IgcWriterFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "common/FdIo.h"
#include "common/FileErrors.h"

namespace qr {

namespace {

IgcFileHandle openChecked(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) throwFileError(errno);
    return IgcFileHandle(fd);
}

std::string randomSuffix() {
    static constexpr std::string_view kChars =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, kChars.size() - 1);
    std::string suffix(6, ' ');
    for (char& c : suffix) c = kChars[pick(generator)];
    return suffix;
}

}  // namespace

IgcFileHandle IgcFileHandle::openForReading(const std::string& path) {
    return openChecked(path, O_RDONLY);
}

void IgcFileHandle::write(std::string_view bytes) {
    if (!fd_) throwFileError(EBADF);
    if (const int err = writeAll(fd_.get(), bytes)) throwFileError(err);
}

void IgcFileHandle::sync() {
    if (!fd_) throwFileError(EBADF);
    if (::fsync(fd_.get()) != 0) throwFileError(errno);
}

void IgcFileHandle::close() {
    if (const int err = fd_.closeNow()) throwFileError(err);
}

IgcTemporaryFile::IgcTemporaryFile(const std::string& pathPrefix) {
    // Own names instead of mkstemp: the file gets 0666 less the umask, like any new file.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = pathPrefix + randomSuffix();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            path_ = std::move(path);
            handle_ = IgcFileHandle(fd);
            return;
        }
        if (errno != EEXIST) throwFileError(errno);
    }
    throwFileError(EEXIST);
}

IgcTemporaryFile::~IgcTemporaryFile() {
    handle_ = IgcFileHandle();
    if (!kept_) ::unlink(path_.c_str());
}

bool igcNameTaken(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) return true;
    if (errno == ENOENT) return false;
    throwFileError(errno);
}

bool igcNameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST) return false;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) throwFileError(errno);
    // A file system that cannot rename without replacing: a hard link never replaces either.
    if (::link(from.c_str(), to.c_str()) != 0) {
        if (errno == EEXIST) return false;
        throwFileError(errno);
    }
    ::unlink(from.c_str());
    return true;
}

void igcSyncDirectory(const std::string& directory) {
    const UniqueFd dir(
        ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) ::fsync(dir.get());
}

}  // namespace qr

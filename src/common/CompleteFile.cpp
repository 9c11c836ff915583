#include "common/CompleteFile.h"

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

FileHandle openChecked(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) throwFileError(errno);
    return FileHandle(fd);
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

FileHandle FileHandle::openForReading(const std::string& path) {
    return openChecked(path, O_RDONLY);
}

void FileHandle::write(std::string_view bytes) {
    if (!fd_) throwFileError(EBADF);
    if (const int err = writeAll(fd_.get(), bytes)) throwFileError(err);
}

void FileHandle::sync() {
    if (!fd_) throwFileError(EBADF);
    if (::fsync(fd_.get()) != 0) throwFileError(errno);
}

void FileHandle::close() {
    if (const int err = fd_.closeNow()) throwFileError(err);
}

TemporaryFile::TemporaryFile(const std::string& pathPrefix) {
    // Own names instead of mkstemp: the file gets 0666 less the umask, like any new file.
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = pathPrefix + randomSuffix();
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            path_ = std::move(path);
            handle_ = FileHandle(fd);
            return;
        }
        if (errno != EEXIST) throwFileError(errno);
    }
    throwFileError(EEXIST);
}

TemporaryFile::~TemporaryFile() {
    handle_ = FileHandle();
    if (!kept_) ::unlink(path_.c_str());
}

std::optional<std::string> TemporaryFile::commit(
    const std::function<std::optional<std::string>(int attempt)>& candidate) {
    // Flushed through a fresh descriptor: whatever appended to the closed file is included.
    handle_.close();
    FileHandle::openForReading(path_).sync();
    for (int attempt = 0;; ++attempt) {
        const std::optional<std::string> name = candidate(attempt);
        if (!name) return std::nullopt;
        if (nameWithoutReplacing(path_, *name)) {
            keep();
            syncDirectory(folderOf(*name));
            return name;
        }
    }
}

bool nameTaken(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0) return true;
    if (errno == ENOENT) return false;
    throwFileError(errno);
}

bool nameWithoutReplacing(const std::string& from, const std::string& to) {
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

void syncDirectory(const std::string& directory) {
    const UniqueFd dir(
        ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) ::fsync(dir.get());
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace qr

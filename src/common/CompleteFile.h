#pragma once
// Files that are complete or absent: a file is composed under a hidden temporary name in
// its folder, flushed to the disk and only then given its final name, never replacing an
// existing file. Used by the IGC writer and the download archive.
// Every failure leaves by the file layer's error (EInOutError through throwFileError).
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/UniqueFd.h"

namespace qr {

// An open file descriptor with checked operations; closed on destruction.
class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(int fd) noexcept : fd_(fd) {}

    // Opens an existing file for reading, enough to flush it to the disk.
    static FileHandle openForReading(const std::string& path);

    bool isOpen() const noexcept { return static_cast<bool>(fd_); }
    int fd() const noexcept { return fd_.get(); }

    // Writes all bytes, going on after short writes and interruptions; a write of nothing
    // means the disk is full.
    void write(std::string_view bytes);
    void sync();
    // Closes and reports what the close reports (a delayed write error, for one).
    void close();

private:
    UniqueFd fd_;
};

// A new file under a fresh name "<pathPrefix>XXXXXX" (six random characters), created with
// the usual permissions of a new file. The name is removed on destruction unless kept.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& pathPrefix);
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile();

    const std::string& path() const noexcept { return path_; }
    FileHandle& handle() noexcept { return handle_; }
    // The file has another name now: nothing to remove.
    void keep() noexcept { kept_ = true; }

    // Closes the file if it is still open, flushes it to the disk and gives it the first
    // name of candidate(0), candidate(1), ... that is free, never replacing a file, then
    // flushes the folder. candidate returns nullopt when there is no further name; the
    // result is nullopt then and the temporary file is removed on destruction.
    std::optional<std::string> commit(
        const std::function<std::optional<std::string>(int attempt)>& candidate);

private:
    std::string path_;
    FileHandle handle_;
    bool kept_ = false;
};

// Whether a directory entry of that name exists (a file, a directory, a dangling link).
// Throws the file error when that cannot be told (no such directory, no search right).
bool nameTaken(const std::string& path);

// Gives the file `from` the name `to`, unless `to` exists: false then, and nothing changes.
// An existing file is never replaced, not even by a rival that takes the name meanwhile.
bool nameWithoutReplacing(const std::string& from, const std::string& to);

// Flushes a directory's entries to the disk; a failure is ignored (the file itself is safe).
void syncDirectory(const std::string& directory);

// The folder part of a path with its final '/', or "" for a bare name.
std::string folderOf(const std::string& path);

}  // namespace qr

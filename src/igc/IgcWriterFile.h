#pragma once
// The file operations of the IGC writer: an owned descriptor with checked writes, a
// temporary file that disappears unless it is kept, and naming without replacing.
// Every failure leaves by the file layer's error (EInOutError through throwFileError).
#include <string>
#include <string_view>

#include "common/UniqueFd.h"

namespace qr {

// An open file descriptor; closed on destruction.
class IgcFileHandle {
public:
    IgcFileHandle() = default;
    explicit IgcFileHandle(int fd) noexcept : fd_(fd) {}

    // Opens an existing file for reading, enough to flush it to the disk.
    static IgcFileHandle openForReading(const std::string& path);

    bool isOpen() const noexcept { return static_cast<bool>(fd_); }
    int fd() const noexcept { return fd_.get(); }

    // Writes all bytes, going on after short writes and interruptions; a write of nothing
    // is a full disk.
    void write(std::string_view bytes);
    void sync();
    // Closes and reports what the close reports (a delayed write error, for one).
    void close();

private:
    UniqueFd fd_;
};

// A new file under a fresh name "<pathPrefix>XXXXXX" (six random characters), created with
// the usual permissions of a new file. The name is removed on destruction unless kept.
class IgcTemporaryFile {
public:
    explicit IgcTemporaryFile(const std::string& pathPrefix);
    IgcTemporaryFile(const IgcTemporaryFile&) = delete;
    IgcTemporaryFile& operator=(const IgcTemporaryFile&) = delete;
    ~IgcTemporaryFile();

    const std::string& path() const noexcept { return path_; }
    IgcFileHandle& handle() noexcept { return handle_; }
    // The file has another name now: nothing to remove.
    void keep() noexcept { kept_ = true; }

private:
    std::string path_;
    IgcFileHandle handle_;
    bool kept_ = false;
};

// Whether a directory entry of that name exists (a file, a directory, a dangling link).
// Throws the file error when that cannot be told (no such directory, no search right).
bool igcNameTaken(const std::string& path);

// Gives the file `from` the name `to`, unless `to` exists: false then, and nothing changes.
// An existing file is never replaced, not even by a rival that takes the name meanwhile.
bool igcNameWithoutReplacing(const std::string& from, const std::string& to);

// Flushes a directory's entries to the disk; a failure is ignored (the file itself is safe).
void igcSyncDirectory(const std::string& directory);

}  // namespace qr

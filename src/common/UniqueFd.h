#pragma once
// The one owner of a file descriptor: closed when the owner goes, or on request with the
// result of close(2), where a delayed write error shows up.
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace qr {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    int release() { return std::exchange(fd_, -1); }
    // Closes now: 0, or the errno of a failed close. Linux releases the descriptor even
    // when close fails, so it is never retried; EINTR counts as closed.
    int closeNow() {
        if (fd_ < 0) return 0;
        const int fd = std::exchange(fd_, -1);
        if (::close(fd) != 0 && errno != EINTR) return errno;
        return 0;
    }

private:
    int fd_ = -1;
};

}  // namespace qr

// Kept apart from every other file: the kernel's termios2 header clashes with <termios.h>.
#include "serial/LineSpeed.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>
#include <cerrno>

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept;

namespace qr::serial {

int setLineSpeed(int fd, int bitsPerSecond) {
    if (bitsPerSecond <= 0) return EINVAL;
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) return errno;
    tio.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    tio.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    tio.c_ispeed = static_cast<speed_t>(bitsPerSecond);
    tio.c_ospeed = static_cast<speed_t>(bitsPerSecond);
    if (ioctl(fd, TCSETS2, &tio) != 0) return errno;
    return 0;
}

int lineSpeed(int fd) {
    struct termios2 tio {};
    if (ioctl(fd, TCGETS2, &tio) != 0) return -1;
    return static_cast<int>(tio.c_ospeed);
}

}  // namespace qr::serial

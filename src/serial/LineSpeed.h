#pragma once
// Line speeds of a terminal device in bits per second, including speeds that have no
// Bxxx constant (set through the kernel's termios2 interface).

namespace qr::serial {

// Sets input and output speed of fd, keeping every other setting. Returns 0 or an errno.
int setLineSpeed(int fd, int bitsPerSecond);

// The output speed of fd in bits per second, or -1 (errno set). On a pseudo-terminal
// master this is the speed that the slave side set.
int lineSpeed(int fd);

}  // namespace qr::serial

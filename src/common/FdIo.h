#pragma once
// Reading and writing a whole byte text through a descriptor, the same way everywhere.
#include <string>
#include <string_view>

namespace qr {

// Writes every byte: 0, or the errno that stopped it. EINTR is retried; a descriptor that
// is not ready (EAGAIN) is waited for with poll. A write of zero bytes means that the file
// cannot grow and reports ENOSPC (a full disk), so the loop never spins.
int writeAll(int fd, std::string_view bytes);

// Appends everything up to the end of the file: 0, or the errno that stopped it.
int readAll(int fd, std::string& out);

}  // namespace qr

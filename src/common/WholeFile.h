#pragma once
// Reading a whole file into bytes.
#include <string>

namespace qr {

// The file's bytes. Throws EInOutError with the file layer's text when it cannot be read
// (also for a directory).
std::string readWholeFile(const std::string& path);

}  // namespace qr

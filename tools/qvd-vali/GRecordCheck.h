#pragma once
// Checks the G record the program appends to an .igc file: the two "GValdorine" lines must
// hold a valid signature of the file's digest under the program's public key.
#include <string>
#include <string_view>

namespace qr::vali {

struct CheckResult {
    bool passed = false;
    std::string reason;  // why it failed; empty when it passed
};

// Reads the bytes as lines ended by LF, CR LF or CR alone, so files whose line ends were
// converted still check.
CheckResult CheckGRecord(std::string_view fileBytes);

}  // namespace qr::vali

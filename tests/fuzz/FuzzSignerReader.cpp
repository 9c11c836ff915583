// The signer's line reader and digest selection over arbitrary file bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "igc/GRecordDigest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    for (const auto mode : {qr::TLoneCr::Dropped, qr::TLoneCr::EndsLine}) {
        const auto lines = qr::ReadIgcLines(bytes, mode);
        std::size_t kept = 0;
        for (const auto& line : lines) {
            // No line keeps a line end, and no byte of the file appears from nowhere.
            if (line.find('\n') != std::string::npos || line.find('\r') != std::string::npos)
                std::abort();
            kept += line.size();
        }
        if (kept > size) std::abort();
        (void)qr::GRecordDigest(lines);
    }
    return 0;
}

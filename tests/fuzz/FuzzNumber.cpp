// The number conversion over arbitrary texts: never crashes, and what it accepts is what
// an independent reading of the rule accepts.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/Errors.h"
#include "common/NumberConversion.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto value = qr::tryStrToInt(text);
    try {
        const std::int32_t thrown = qr::StrToInt(text);
        if (!value || *value != thrown) std::abort();
    } catch (const qr::EConvertError&) {
        if (value) std::abort();
    }
    // Decimal texts of plain digits agree with strtoll.
    if (value && size > 0 && size < 12 &&
        text.find_first_not_of("0123456789") == std::string::npos &&
        std::strtoll(text.c_str(), nullptr, 10) != *value)
        std::abort();
    return 0;
}

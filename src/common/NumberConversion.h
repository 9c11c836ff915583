#pragma once
// The program's one rule for turning a text into a number.
#include <cstdint>
#include <optional>
#include <string_view>

namespace qr {

// Leading blanks, an optional sign, then decimal digits, or hexadecimal digits after
// "$", "x", "X", "0x" or "0X"; nothing may follow. Values outside the signed 32-bit range
// are refused. Returns nothing when the text breaks the rule.
std::optional<std::int32_t> tryStrToInt(std::string_view text);

// As tryStrToInt, but throws EConvertError "'<text>' ist kein gültiger Integerwert".
std::int32_t StrToInt(std::string_view text);

// The message of a conversion error for a text (bytes shown as Latin-1).
std::string conversionErrorText(std::string_view text);

}  // namespace qr

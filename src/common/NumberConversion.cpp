#include "common/NumberConversion.h"

#include <string>

#include "common/Errors.h"
#include "common/Text.h"

namespace qr {

namespace {

int digitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < base ? v : -1;
}

}  // namespace

std::optional<std::int32_t> tryStrToInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' &&
               (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return std::nullopt;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        int d = digitValue(text[i], base);
        if (d < 0) return std::nullopt;
        value = value * base + d;
        if (value > limit) return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::string conversionErrorText(std::string_view text) {
    return formatText("'%s' ist kein gültiger Integerwert", latin1ToUtf8(text));
}

std::int32_t StrToInt(std::string_view text) {
    if (auto value = tryStrToInt(text)) return *value;
    throw EConvertError(conversionErrorText(text));
}

}  // namespace qr

#include "GRecordCheck.h"

#include <vector>

#include "DsaVerify.h"
#include "igc/GRecordDigest.h"
#include "igc/GRecordKey.h"

namespace qr::vali {

namespace {

// The public value g^x mod p belonging to the signing key.
constexpr std::string_view kPublicY =
    "60902038762247497332236549733047981670239326427301232006126499321993415159169880632853883"
    "59979879732297883731396760927280837297801952438317585854207250734";

constexpr std::string_view kPrefix = "GValdorine";

// The value of "GValdorine <hex>": at most 20 bytes, two digits per byte.
std::optional<TBigInt> valueOf(const std::string& line) {
    if (line.size() <= kPrefix.size() + 1 || line[kPrefix.size()] != ' ') return std::nullopt;
    const std::string_view hex = std::string_view(line).substr(kPrefix.size() + 1);
    if (hex.size() % 2 != 0 || hex.size() > 40) return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int byte = 0;
        for (const char c : hex.substr(i, 2)) {
            int digit = -1;
            if (c >= '0' && c <= '9') digit = c - '0';
            if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            if (digit < 0) return std::nullopt;
            byte = byte * 16 + digit;
        }
        bytes += static_cast<char>(byte);
    }
    return BigFromByteText(bytes);
}

}  // namespace

CheckResult CheckGRecord(std::string_view fileBytes) {
    const std::vector<std::string> lines = ReadIgcLines(fileBytes, TLoneCr::EndsLine);
    std::vector<const std::string*> gLines;
    for (const std::string& line : lines) {
        if (line.starts_with(kPrefix)) gLines.push_back(&line);
    }
    if (gLines.empty()) return {false, "no G record (no line begins with \"GValdorine\")"};
    if (gLines.size() != 2) {
        return {false, "G record malformed: " + std::to_string(gLines.size()) +
                           " \"GValdorine\" lines instead of two"};
    }
    const std::optional<TBigInt> r = valueOf(*gLines[0]);
    const std::optional<TBigInt> s = valueOf(*gLines[1]);
    if (!r || !s) {
        return {false, "G record malformed: \"" + *gLines[r ? 1 : 0] +
                           "\" does not hold up to 40 hexadecimal digits, two per byte"};
    }

    const DsaPublicKey key{BigFromDecimalText(kGRecordKey.p), BigFromDecimalText(kGRecordKey.q),
                           BigFromDecimalText(kGRecordKey.g), BigFromDecimalText(kPublicY)};
    const TGRecordDigest digest = GRecordDigest(lines);
    const std::string message(reinterpret_cast<const char*>(digest.data()), digest.size());
    if (!DsaVerify(key, message, *r, *s)) {
        return {false, "signature mismatch: the G record does not match the file's data"};
    }
    return {true, {}};
}

}  // namespace qr::vali

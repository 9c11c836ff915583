#pragma once
// The DSA key the G record is signed with, as decimal texts: p of 512 bits, q of 160 bits
// dividing p - 1, g of order q modulo p, and the private value x below q. The texts are
// converted on every use, so no key material stays in memory between signatures.
#include <string_view>

namespace qr {

struct TDsaKeyTexts {
    std::string_view p;
    std::string_view q;
    std::string_view g;
    std::string_view x;
};

inline constexpr TDsaKeyTexts kGRecordKey{
    "80155808329704040262920348569347145014790236712958584627770106118641557822023681879226440"
    "16963237780274293589505911389348041745635228880259162402032315051",
    "1331357030604611606353537940006144244159844159013",
    "25999776400656763185421130199213283236738418520259502200445451940184391771789647470605056"
    "18710554579798964942912156750715174267334498163270522652042590417",
    "66594129683933542631155478162306324962654178906",
};

}  // namespace qr

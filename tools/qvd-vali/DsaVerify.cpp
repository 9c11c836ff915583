#include "DsaVerify.h"

namespace qr::vali {

namespace {

bool inOpenRange(const TBigInt& v, const TBigInt& q) {
    return !v.IsZero() && !v.IsNegative() && BigCompareMagnitude(v, q) == TBigCompare::Smaller;
}

}  // namespace

bool DsaVerify(const DsaPublicKey& key, std::string_view message, const TBigInt& r,
               const TBigInt& s) {
    if (!inOpenRange(r, key.q) || !inOpenRange(s, key.q) || message.empty()) return false;
    const std::optional<TBigInt> w = BigInverseMod(s, key.q);
    if (!w) return false;
    const TBigInt u1 = BigMulMod(BigFromByteText(message), *w, key.q);
    const TBigInt u2 = BigMulMod(r, *w, key.q);
    const TBigInt v =
        BigMod(BigMulMod(BigPowMod(key.g, u1, key.p), BigPowMod(key.y, u2, key.p), key.p), key.q);
    return v == r;
}

}  // namespace qr::vali

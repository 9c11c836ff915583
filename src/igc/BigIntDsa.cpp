#include "igc/BigIntDsa.h"

#include <stdexcept>

namespace qr {

TDsaSignature BigDsaSign(const TBigInt& p, const TBigInt& q, const TBigInt& g, const TBigInt& x,
                         const TBigInt& k, std::string_view message) {
    const TBigInt r = BigMod(BigPowMod(g, k, p), q);
    const std::optional<TBigInt> kInverse = BigInverseMod(k, q);
    if (!kInverse) throw std::domain_error("k has no inverse modulo q");
    const TBigInt m = BigFromByteText(message);
    // m + x r is reduced only by the final multiplication.
    const TBigInt t = BigAdd(m, BigMulMod(x, r, q));
    const TBigInt s = BigMulMod(*kInverse, t, q);
    return {BigToByteText(r), BigToByteText(s)};
}

}  // namespace qr

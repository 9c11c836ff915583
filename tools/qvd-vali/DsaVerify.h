#pragma once
// DSA verification (FIPS 186) over a digest computed by the caller.
#include <string_view>

#include "igc/BigInt.h"

namespace qr::vali {

struct DsaPublicKey {
    TBigInt p, q, g, y;
};

// True when 0 < r < q, 0 < s < q and (g^(m w) y^(r w) mod p) mod q = r with w = s^-1 mod q,
// m the message read as a big-endian number.
bool DsaVerify(const DsaPublicKey& key, std::string_view message, const TBigInt& r,
               const TBigInt& s);

}  // namespace qr::vali

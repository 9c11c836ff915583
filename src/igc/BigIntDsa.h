#pragma once
// DSA signing (FIPS 186) over a digest the caller has already computed.
#include <string>
#include <string_view>

#include "igc/BigInt.h"

namespace qr {

// r and s as base-256 texts (shortest big-endian bytes, zero as one 0x00 byte).
struct TDsaSignature {
    std::string r;
    std::string s;
};

// r = (g^k mod p) mod q, s = k^-1 (m + x r) mod q with m the message read as a big-endian
// number. k is used as given (the caller draws it in 1 .. q-1); r = 0 or s = 0 is not checked.
// Throws std::domain_error when k has no inverse modulo q, std::invalid_argument for an
// empty message.
TDsaSignature BigDsaSign(const TBigInt& p, const TBigInt& q, const TBigInt& g, const TBigInt& x,
                         const TBigInt& k, std::string_view message);

}  // namespace qr

#pragma once
// The unsigned magnitudes beneath TBigInt: vectors of 64-bit limbs, least significant first,
// with no zero top limb (zero is the empty vector). The signed operations, the text forms and
// the modular exponentiation are built on these. Internal to the big integers.
#include <bit>
#include <cstddef>
#include <stdexcept>
#include <vector>

#include "igc/BigInt.h"

namespace qr::bigmag {

using Limb = TBigInt::Limb;
using Mag = std::vector<Limb>;
__extension__ typedef unsigned __int128 Wide;

constexpr int kLimbBits = 64;

inline void trim(Mag& a) {
    while (!a.empty() && a.back() == 0) a.pop_back();
}

inline bool bitAt(const Mag& a, std::size_t bit) {
    return ((a[bit / kLimbBits] >> (bit % kLimbBits)) & 1) != 0;
}

inline std::size_t bitLength(const Mag& a) {
    if (a.empty()) return 0;
    return a.size() * kLimbBits - static_cast<std::size_t>(std::countl_zero(a.back()));
}

inline void requirePositiveModulus(const TBigInt& m) {
    if (m.IsZero() || m.IsNegative()) throw std::domain_error("modulus must be positive");
}

// -1, 0 or 1 as a is smaller than, equal to or larger than b.
int compareMag(const Mag& a, const Mag& b);
Mag addMag(const Mag& a, const Mag& b);
// a - b for a >= b.
Mag subMag(const Mag& a, const Mag& b);
Mag mulMag(const Mag& a, const Mag& b);
// a = a * factor + addend.
void mulAddSmall(Mag& a, Limb factor, Limb addend);
// Long division of u by v; either output may be null. Throws std::domain_error for v = 0.
void divModMag(const Mag& u, const Mag& v, Mag* quotient, Mag* remainder);
Mag modMag(const Mag& a, const Mag& m);

}  // namespace qr::bigmag

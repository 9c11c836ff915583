#pragma once
// Modular exponentiation for the signature's own size: an odd modulus of exactly eight 64-bit
// limbs (449 to 512 bits), Montgomery arithmetic on fixed arrays, nothing allocated.
// BigPowMod sends such moduli here; every other size takes the general code.
#include <cstddef>
#include <cstdint>

namespace qr::mont {

using Limb = std::uint64_t;
constexpr std::size_t kLimbs512 = 8;

// -m0^-1 mod 2^64 for an odd m0, by Newton steps (m0 is its own inverse modulo 8, and each
// step doubles the correct low bits: 3, 6, 12, 24, 48, 96).
constexpr Limb NegatedInverse(Limb m0) {
    Limb inverse = m0;
    for (int i = 0; i < 5; ++i) inverse *= 2 - m0 * inverse;
    return 0 - inverse;
}

// out = base^exponent mod m, least significant limbs first. baseTimesR is base · 2^512 mod m
// (the Montgomery form of a base below m), exponent has exponentLimbs limbs of which the top
// one is not zero, m is odd with a non-zero top limb. out may not alias the inputs.
void PowMod512(const Limb* baseTimesR, const Limb* exponent, std::size_t exponentLimbs,
               const Limb* m, Limb* out);

}  // namespace qr::mont

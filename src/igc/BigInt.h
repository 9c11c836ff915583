#pragma once
// Arbitrary-precision integers for the G-record signature: sign and magnitude, the text forms
// the signer uses (decimal in, bit text, base-256 text in and out) and modular arithmetic.
//
// Every operation returns a fresh value; nothing is shared. Invalid arguments (a text with
// foreign characters, a modulus that is not positive) throw std::invalid_argument or
// std::domain_error; the operations never hand back a half-made number.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qr {

class TBigInt {
public:
    using Limb = std::uint64_t;

    TBigInt() = default;  // zero
    // The magnitude's 64-bit limbs, least significant first; zero top limbs are dropped and a
    // zero is never negative.
    TBigInt(std::vector<Limb> magnitude, bool negative);
    static TBigInt FromUnsigned(std::uint64_t value);

    bool IsZero() const { return limbs_.empty(); }
    bool IsNegative() const { return negative_; }
    std::size_t BitLength() const;
    const std::vector<Limb>& Limbs() const { return limbs_; }

    // The classic number record, for callers that exchange it: the sign byte (0 negative,
    // 1 positive) and the cells of base-2^31 digits (cell 0 the digit count n >= 1, cells 1
    // to n the digits, least significant first; zero is n = 1 with digit 0).
    std::uint8_t Sign() const { return negative_ ? 0 : 1; }
    std::vector<std::int64_t> Base31Cells() const;

    friend bool operator==(const TBigInt&, const TBigInt&) = default;

private:
    std::vector<Limb> limbs_;
    bool negative_ = false;
};

enum class TBigCompare { Smaller, Equal, Larger };

// Leading characters that are neither "-" nor a digit are skipped (while more than one is
// left), then an optional "-" and leading zeros. "007" -> 7, "x5" -> 5, "" -> 0.
// Throws std::invalid_argument for a non-digit after that.
TBigInt BigFromDecimalText(std::string_view text);
// "0"/"1" characters, most significant first. Throws std::invalid_argument when empty or
// holding other characters.
TBigInt BigFromBitText(std::string_view bits);
// The magnitude in binary without leading zeros; zero is "0".
std::string BigToBitText(const TBigInt& a);
// Big-endian bytes, leading zero bytes carry no weight. Throws std::invalid_argument when empty.
TBigInt BigFromByteText(std::string_view bytes);
// The magnitude as the shortest big-endian byte string; zero is the single byte 0x00.
std::string BigToByteText(const TBigInt& a);

// Compares magnitudes; signs are ignored.
TBigCompare BigCompareMagnitude(const TBigInt& a, const TBigInt& b);

TBigInt BigAdd(const TBigInt& a, const TBigInt& b);
TBigInt BigMul(const TBigInt& a, const TBigInt& b);
// a mod m in 0 .. m-1, also for a negative a. Throws std::domain_error unless m > 0.
TBigInt BigMod(const TBigInt& a, const TBigInt& m);
TBigInt BigMulMod(const TBigInt& a, const TBigInt& b, const TBigInt& m);
// base^exponent mod m (Montgomery arithmetic for an odd m). A negative base counts as
// base mod m. Throws std::domain_error for a negative exponent or unless m > 0.
TBigInt BigPowMod(const TBigInt& base, const TBigInt& exponent, const TBigInt& m);
// The greatest common divisor of the magnitudes; gcd(0, 0) = 0.
TBigInt BigGcd(const TBigInt& a, const TBigInt& b);
// The inverse of a modulo m in 0 .. m-1, or nothing when gcd(a, m) != 1.
// Throws std::domain_error unless m > 0.
std::optional<TBigInt> BigInverseMod(const TBigInt& a, const TBigInt& m);

}  // namespace qr

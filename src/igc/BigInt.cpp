// TBigInt itself, its text forms and the signed and modular operations apart from the
// exponentiation (BigIntPowMod.cpp).
#include "igc/BigInt.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "igc/BigIntMagnitude.h"

namespace qr {

using namespace bigmag;

TBigInt::TBigInt(std::vector<Limb> magnitude, bool negative) : limbs_(std::move(magnitude)) {
    trim(limbs_);
    negative_ = negative && !limbs_.empty();
}

TBigInt TBigInt::FromUnsigned(std::uint64_t value) {
    return TBigInt(Mag{value}, false);
}

std::size_t TBigInt::BitLength() const {
    return bitLength(limbs_);
}

std::vector<std::int64_t> TBigInt::Base31Cells() const {
    const std::size_t bits = BitLength();
    const std::size_t count = bits == 0 ? 1 : (bits + 30) / 31;
    std::vector<std::int64_t> cells(count + 1, 0);
    cells[0] = static_cast<std::int64_t>(count);
    for (std::size_t bit = 0; bit < bits; ++bit) {
        if (bitAt(limbs_, bit)) cells[1 + bit / 31] |= std::int64_t{1} << (bit % 31);
    }
    return cells;
}

TBigInt BigFromDecimalText(std::string_view text) {
    while (text.size() > 1 && text[0] != '-' && (text[0] < '0' || text[0] > '9')) {
        text.remove_prefix(1);
    }
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) text.remove_prefix(1);
    while (text.size() >= 2 && text[0] == '0') text.remove_prefix(1);

    // Groups of nine digits, the leftmost one possibly shorter.
    Mag magnitude;
    std::size_t group = text.size() % 9 == 0 ? 9 : text.size() % 9;
    for (std::size_t pos = 0; pos < text.size(); pos += group, group = 9) {
        Limb value = 0;
        for (const char c : text.substr(pos, group)) {
            if (c < '0' || c > '9') {
                throw std::invalid_argument("not a decimal number: " + std::string(text));
            }
            value = value * 10 + static_cast<Limb>(c - '0');
        }
        mulAddSmall(magnitude, 1'000'000'000, value);
    }
    return TBigInt(std::move(magnitude), negative);
}

TBigInt BigFromBitText(std::string_view bits) {
    if (bits.empty()) throw std::invalid_argument("empty bit text");
    Mag magnitude((bits.size() + kLimbBits - 1) / kLimbBits, 0);
    for (std::size_t i = 0; i < bits.size(); ++i) {
        const char c = bits[bits.size() - 1 - i];
        if (c != '0' && c != '1') throw std::invalid_argument("not a bit text");
        if (c == '1') magnitude[i / kLimbBits] |= Limb{1} << (i % kLimbBits);
    }
    return TBigInt(std::move(magnitude), false);
}

std::string BigToBitText(const TBigInt& a) {
    const Mag& limbs = a.Limbs();
    const std::size_t bits = bitLength(limbs);
    if (bits == 0) return "0";
    std::string text(bits, '0');
    for (std::size_t i = 0; i < bits; ++i) {
        if (bitAt(limbs, i)) text[bits - 1 - i] = '1';
    }
    return text;
}

TBigInt BigFromByteText(std::string_view bytes) {
    if (bytes.empty()) throw std::invalid_argument("empty byte text");
    Mag magnitude((bytes.size() + 7) / 8, 0);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - 1 - i]);
        magnitude[i / 8] |= Limb{byte} << (8 * (i % 8));
    }
    return TBigInt(std::move(magnitude), false);
}

std::string BigToByteText(const TBigInt& a) {
    const Mag& limbs = a.Limbs();
    const std::size_t count = std::max<std::size_t>(1, (bitLength(limbs) + 7) / 8);
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count && i / 8 < limbs.size(); ++i) {
        bytes[count - 1 - i] = static_cast<char>((limbs[i / 8] >> (8 * (i % 8))) & 0xFF);
    }
    return bytes;
}

TBigCompare BigCompareMagnitude(const TBigInt& a, const TBigInt& b) {
    const int c = compareMag(a.Limbs(), b.Limbs());
    return c < 0 ? TBigCompare::Smaller : c > 0 ? TBigCompare::Larger : TBigCompare::Equal;
}

TBigInt BigAdd(const TBigInt& a, const TBigInt& b) {
    if (a.IsNegative() == b.IsNegative()) {
        return TBigInt(addMag(a.Limbs(), b.Limbs()), a.IsNegative());
    }
    // Opposite signs: the larger magnitude keeps its sign.
    if (compareMag(a.Limbs(), b.Limbs()) >= 0) {
        return TBigInt(subMag(a.Limbs(), b.Limbs()), a.IsNegative());
    }
    return TBigInt(subMag(b.Limbs(), a.Limbs()), b.IsNegative());
}

TBigInt BigMul(const TBigInt& a, const TBigInt& b) {
    return TBigInt(mulMag(a.Limbs(), b.Limbs()), a.IsNegative() != b.IsNegative());
}

TBigInt BigMod(const TBigInt& a, const TBigInt& m) {
    requirePositiveModulus(m);
    Mag r = modMag(a.Limbs(), m.Limbs());
    if (a.IsNegative() && !r.empty()) r = subMag(m.Limbs(), r);
    return TBigInt(std::move(r), false);
}

TBigInt BigMulMod(const TBigInt& a, const TBigInt& b, const TBigInt& m) {
    return BigMod(BigMul(a, b), m);
}

TBigInt BigGcd(const TBigInt& a, const TBigInt& b) {
    Mag x = a.Limbs();
    Mag y = b.Limbs();
    while (!y.empty()) {
        Mag r = modMag(x, y);
        x = std::move(y);
        y = std::move(r);
    }
    return TBigInt(std::move(x), false);
}

std::optional<TBigInt> BigInverseMod(const TBigInt& a, const TBigInt& m) {
    requirePositiveModulus(m);
    if (m.Limbs().size() == 1 && m.Limbs()[0] == 1) return TBigInt();
    // Extended Euclid on (m, a mod m). The coefficients of a alternate in sign, so only their
    // magnitudes are kept: |t(i+1)| = |t(i-1)| + q(i) |t(i)|, t(i) negative for even i.
    Mag r0 = m.Limbs();
    Mag r1 = BigMod(a, m).Limbs();
    Mag t0;
    Mag t1{1};
    std::size_t steps = 0;
    while (!r1.empty()) {
        Mag q;
        Mag r2;
        divModMag(r0, r1, &q, &r2);
        Mag t2 = addMag(t0, mulMag(q, t1));
        r0 = std::move(r1);
        r1 = std::move(r2);
        t0 = std::move(t1);
        t1 = std::move(t2);
        ++steps;
    }
    if (r0 != Mag{1}) return std::nullopt;
    if (steps % 2 == 0) t0 = subMag(m.Limbs(), t0);
    return TBigInt(std::move(t0), false);
}

}  // namespace qr

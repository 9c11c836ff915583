#include "igc/BigInt.h"

#include "igc/BigIntMont512.h"

#include <algorithm>
#include <bit>
#include <stdexcept>
#include <utility>

namespace qr {

namespace {

using Limb = TBigInt::Limb;
using Mag = std::vector<Limb>;
__extension__ typedef unsigned __int128 Wide;

constexpr int kLimbBits = 64;

void trim(Mag& a) {
    while (!a.empty() && a.back() == 0) a.pop_back();
}

int compareMag(const Mag& a, const Mag& b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    for (std::size_t i = a.size(); i-- > 0;) {
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    }
    return 0;
}

Mag addMag(const Mag& a, const Mag& b) {
    const Mag& longer = a.size() >= b.size() ? a : b;
    const Mag& shorter = a.size() >= b.size() ? b : a;
    Mag sum(longer.size() + 1);
    Limb carry = 0;
    for (std::size_t i = 0; i < longer.size(); ++i) {
        const Wide s = Wide{longer[i]} + (i < shorter.size() ? shorter[i] : 0) + carry;
        sum[i] = static_cast<Limb>(s);
        carry = static_cast<Limb>(s >> kLimbBits);
    }
    sum[longer.size()] = carry;
    trim(sum);
    return sum;
}

// a - b for a >= b.
Mag subMag(const Mag& a, const Mag& b) {
    Mag diff(a.size());
    Limb borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const Limb bi = i < b.size() ? b[i] : 0;
        const Limb d = a[i] - bi - borrow;
        borrow = (a[i] < bi || (a[i] == bi && borrow)) ? 1 : 0;
        diff[i] = d;
    }
    trim(diff);
    return diff;
}

Mag mulMag(const Mag& a, const Mag& b) {
    if (a.empty() || b.empty()) return {};
    Mag product(a.size() + b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        Limb carry = 0;
        for (std::size_t j = 0; j < b.size(); ++j) {
            const Wide t = Wide{a[i]} * b[j] + product[i + j] + carry;
            product[i + j] = static_cast<Limb>(t);
            carry = static_cast<Limb>(t >> kLimbBits);
        }
        product[i + b.size()] = carry;
    }
    trim(product);
    return product;
}

// a = a * factor + addend.
void mulAddSmall(Mag& a, Limb factor, Limb addend) {
    Limb carry = addend;
    for (Limb& limb : a) {
        const Wide t = Wide{limb} * factor + carry;
        limb = static_cast<Limb>(t);
        carry = static_cast<Limb>(t >> kLimbBits);
    }
    if (carry != 0) a.push_back(carry);
}

// Long division (Knuth's algorithm D) of u by a non-zero v; either output may be null.
void divModMag(const Mag& u, const Mag& v, Mag* quotient, Mag* remainder) {
    if (v.empty()) throw std::domain_error("division by zero");
    if (compareMag(u, v) < 0) {
        if (quotient) quotient->clear();
        if (remainder) *remainder = u;
        return;
    }
    const std::size_t n = v.size();
    if (n == 1) {
        Mag q(u.size());
        Limb r = 0;
        for (std::size_t i = u.size(); i-- > 0;) {
            const Wide cur = (Wide{r} << kLimbBits) | u[i];
            q[i] = static_cast<Limb>(cur / v[0]);
            r = static_cast<Limb>(cur % v[0]);
        }
        trim(q);
        if (quotient) *quotient = std::move(q);
        if (remainder) *remainder = r != 0 ? Mag{r} : Mag{};
        return;
    }

    // Shift so that the divisor's top limb has its top bit set; the quotient estimate from
    // the top two limbs is then off by at most two.
    const int shift = std::countl_zero(v.back());
    const auto shiftLeft = [shift](const Mag& x, std::size_t size) {
        Mag out(size, 0);
        for (std::size_t i = 0; i < x.size(); ++i) {
            out[i] |= x[i] << shift;
            if (shift != 0 && i + 1 < size) out[i + 1] = x[i] >> (kLimbBits - shift);
        }
        return out;
    };
    const Mag vn = shiftLeft(v, n);
    Mag un = shiftLeft(u, u.size() + 1);
    const std::size_t m = u.size() - n;
    Mag q(m + 1);
    const Limb vTop = vn[n - 1];
    const Limb vNext = vn[n - 2];

    for (std::size_t j = m + 1; j-- > 0;) {
        const Wide top = (Wide{un[j + n]} << kLimbBits) | un[j + n - 1];
        Wide qhat = top / vTop;
        Wide rhat = top % vTop;
        while ((qhat >> kLimbBits) != 0 || qhat * vNext > ((rhat << kLimbBits) | un[j + n - 2])) {
            --qhat;
            rhat += vTop;
            if ((rhat >> kLimbBits) != 0) break;
        }
        // un[j .. j+n] -= qhat * vn
        Limb carry = 0;
        Limb borrow = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const Wide p = qhat * vn[i] + carry;
            carry = static_cast<Limb>(p >> kLimbBits);
            const Limb low = static_cast<Limb>(p);
            const Limb ui = un[i + j];
            un[i + j] = ui - low - borrow;
            borrow = (ui < low || (ui == low && borrow)) ? 1 : 0;
        }
        const Limb ui = un[j + n];
        un[j + n] = ui - carry - borrow;
        borrow = (ui < carry || (ui == carry && borrow)) ? 1 : 0;
        if (borrow) {
            // The estimate was one too large: add the divisor back.
            --qhat;
            Limb c = 0;
            for (std::size_t i = 0; i < n; ++i) {
                const Wide s = Wide{un[i + j]} + vn[i] + c;
                un[i + j] = static_cast<Limb>(s);
                c = static_cast<Limb>(s >> kLimbBits);
            }
            un[j + n] += c;
        }
        q[j] = static_cast<Limb>(qhat);
    }

    if (quotient) {
        trim(q);
        *quotient = std::move(q);
    }
    if (remainder) {
        Mag r(n);
        for (std::size_t i = 0; i < n; ++i) {
            r[i] = un[i] >> shift;
            if (shift != 0) r[i] |= un[i + 1] << (kLimbBits - shift);
        }
        trim(r);
        *remainder = std::move(r);
    }
}

Mag modMag(const Mag& a, const Mag& m) {
    Mag r;
    divModMag(a, m, nullptr, &r);
    return r;
}

bool bitAt(const Mag& a, std::size_t bit) {
    return ((a[bit / kLimbBits] >> (bit % kLimbBits)) & 1) != 0;
}

std::size_t bitLength(const Mag& a) {
    if (a.empty()) return 0;
    return a.size() * kLimbBits - static_cast<std::size_t>(std::countl_zero(a.back()));
}

void requirePositiveModulus(const TBigInt& m) {
    if (m.IsZero() || m.IsNegative()) throw std::domain_error("modulus must be positive");
}

// Arithmetic modulo an odd m in Montgomery form, R = 2^(64 n) for an n-limb m. Values are
// kept as n limbs each, below m.
class Montgomery {
public:
    explicit Montgomery(const Mag& m) : m_(m), n_(m.size()), scratch_(m.size() + 2) {
        mInv_ = mont::NegatedInverse(m_[0]);
        Mag r2(2 * n_ + 1, 0);
        r2[2 * n_] = 1;
        rSquared_ = toFixed(modMag(r2, m_));
    }

    std::size_t size() const { return n_; }

    static Mag toFixedSize(Mag a, std::size_t n) {
        a.resize(n, 0);
        return a;
    }
    Mag toFixed(Mag a) const { return toFixedSize(std::move(a), n_); }

    // a · R mod m for a below m.
    Mag enter(const Mag& a) {
        Mag out(n_);
        multiply(toFixed(a).data(), rSquared_.data(), out.data());
        return out;
    }

    // a · R^-1 mod m, the plain value of a Montgomery form.
    Mag leave(const Mag& a) {
        Mag one(n_, 0);
        one[0] = 1;
        Mag out(n_);
        multiply(a.data(), one.data(), out.data());
        trim(out);
        return out;
    }

    // out = a · b · R^-1 mod m (operand scanning with interleaved reduction). out may alias
    // a or b.
    void multiply(const Limb* a, const Limb* b, Limb* out) {
        Limb* t = scratch_.data();
        const Limb* m = m_.data();
        const std::size_t n = n_;
        std::fill(t, t + n + 2, 0);
        for (std::size_t i = 0; i < n; ++i) {
            const Limb bi = b[i];
            Limb carry = 0;
            for (std::size_t j = 0; j < n; ++j) {
                const Wide s = Wide{a[j]} * bi + t[j] + carry;
                t[j] = static_cast<Limb>(s);
                carry = static_cast<Limb>(s >> kLimbBits);
            }
            Wide s = Wide{t[n]} + carry;
            t[n] = static_cast<Limb>(s);
            t[n + 1] = static_cast<Limb>(s >> kLimbBits);

            const Limb factor = t[0] * mInv_;
            s = Wide{factor} * m[0] + t[0];
            carry = static_cast<Limb>(s >> kLimbBits);
            for (std::size_t j = 1; j < n; ++j) {
                s = Wide{factor} * m[j] + t[j] + carry;
                t[j - 1] = static_cast<Limb>(s);
                carry = static_cast<Limb>(s >> kLimbBits);
            }
            s = Wide{t[n]} + carry;
            t[n - 1] = static_cast<Limb>(s);
            t[n] = t[n + 1] + static_cast<Limb>(s >> kLimbBits);
        }
        // t < 2m: one subtraction at most.
        bool subtract = t[n] != 0;
        if (!subtract) {
            subtract = true;
            for (std::size_t i = n; i-- > 0;) {
                if (t[i] != m[i]) {
                    subtract = t[i] > m[i];
                    break;
                }
            }
        }
        if (subtract) {
            Limb borrow = 0;
            for (std::size_t i = 0; i < n; ++i) {
                const Limb ti = t[i];
                out[i] = ti - m[i] - borrow;
                borrow = (ti < m[i] || (ti == m[i] && borrow)) ? 1 : 0;
            }
        } else {
            std::copy(t, t + n, out);
        }
    }

private:
    Mag m_;
    std::size_t n_;
    Limb mInv_ = 0;
    Mag rSquared_;
    Mag scratch_;
};

// Left-to-right sliding-window exponentiation in Montgomery form; base below the odd m.
Mag powModOdd(const Mag& base, const Mag& exponent, const Mag& modulus) {
    Montgomery mont(modulus);
    const std::size_t bits = bitLength(exponent);
    const int window = bits > 671 ? 6 : bits > 239 ? 5 : bits > 79 ? 4 : bits > 23 ? 3 : 1;

    // Odd powers base^1, base^3, ..., base^(2^window - 1).
    std::vector<Mag> odd(std::size_t{1} << (window - 1));
    odd[0] = mont.enter(base);
    Mag square(mont.size());
    mont.multiply(odd[0].data(), odd[0].data(), square.data());
    for (std::size_t i = 1; i < odd.size(); ++i) {
        odd[i] = Mag(mont.size());
        mont.multiply(odd[i - 1].data(), square.data(), odd[i].data());
    }

    Mag result(mont.size());
    bool started = false;
    std::size_t i = bits;
    while (i > 0) {
        const std::size_t top = i - 1;
        if (!bitAt(exponent, top)) {
            if (started) mont.multiply(result.data(), result.data(), result.data());
            i = top;
            continue;
        }
        // The longest window of at most `window` bits from `top` down that ends in a 1.
        std::size_t low = top + 1 > static_cast<std::size_t>(window) ? top + 1 - window : 0;
        while (!bitAt(exponent, low)) ++low;
        std::size_t value = 0;
        for (std::size_t b = top + 1; b-- > low;) {
            value = (value << 1) | (bitAt(exponent, b) ? 1 : 0);
            if (started) mont.multiply(result.data(), result.data(), result.data());
        }
        if (started) {
            mont.multiply(result.data(), odd[value / 2].data(), result.data());
        } else {
            result = odd[value / 2];
            started = true;
        }
        i = low;
    }
    return mont.leave(result);
}

// The signature's size on fixed arrays: the base enters the Montgomery form by one division.
Mag powMod512(const Mag& base, const Mag& exponent, const Mag& modulus) {
    if (base.empty()) return {};
    Mag shifted(mont::kLimbs512, 0);
    shifted.insert(shifted.end(), base.begin(), base.end());
    const Mag baseTimesR = Montgomery::toFixedSize(modMag(shifted, modulus), mont::kLimbs512);
    Mag result(mont::kLimbs512);
    mont::PowMod512(baseTimesR.data(), exponent.data(), exponent.size(), modulus.data(),
                    result.data());
    trim(result);
    return result;
}

// Square-and-multiply with plain division, for an even modulus.
Mag powModPlain(const Mag& base, const Mag& exponent, const Mag& modulus) {
    Mag result{1};
    result = modMag(result, modulus);
    for (std::size_t i = bitLength(exponent); i-- > 0;) {
        result = modMag(mulMag(result, result), modulus);
        if (bitAt(exponent, i)) result = modMag(mulMag(result, base), modulus);
    }
    return result;
}

}  // namespace

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

TBigInt BigPowMod(const TBigInt& base, const TBigInt& exponent, const TBigInt& m) {
    requirePositiveModulus(m);
    if (exponent.IsNegative()) throw std::domain_error("negative exponent");
    const Mag& modulus = m.Limbs();
    if (modulus.size() == 1 && modulus[0] == 1) return TBigInt();
    if (exponent.IsZero()) return TBigInt::FromUnsigned(1);
    const Mag b = BigMod(base, m).Limbs();
    if ((modulus[0] & 1) != 0 && modulus.size() == mont::kLimbs512) {
        return TBigInt(powMod512(b, exponent.Limbs(), modulus), false);
    }
    if ((modulus[0] & 1) != 0) return TBigInt(powModOdd(b, exponent.Limbs(), modulus), false);
    return TBigInt(powModPlain(b, exponent.Limbs(), modulus), false);
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

// Modular exponentiation: Montgomery arithmetic for an odd modulus (fixed arrays for the
// signature's own size), square-and-multiply with division for an even one.
#include <algorithm>
#include <stdexcept>
#include <utility>

#include "igc/BigInt.h"
#include "igc/BigIntMagnitude.h"
#include "igc/BigIntMont512.h"

namespace qr {

namespace {

using namespace bigmag;

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

}  // namespace qr

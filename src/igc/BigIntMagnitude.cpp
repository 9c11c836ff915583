#include "igc/BigIntMagnitude.h"

#include <stdexcept>
#include <utility>

namespace qr::bigmag {

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

// Knuth's algorithm D.
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

}  // namespace qr::bigmag

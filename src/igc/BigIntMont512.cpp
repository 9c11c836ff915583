#include "igc/BigIntMont512.h"

#include <bit>

namespace qr::mont {

namespace {

__extension__ typedef unsigned __int128 Wide;
constexpr std::size_t N = kLimbs512;
constexpr int kWindow = 4;

struct Modulus {
    const Limb* m;
    Limb mInv;  // -m^-1 mod 2^64
};

// The three-limb column sum of product scanning: (c2:c1:c0) += a · b.
struct Column {
    Limb c0 = 0, c1 = 0, c2 = 0;

    [[gnu::always_inline]] void add(Limb a, Limb b) { addProduct(Wide{a} * b); }

    // Adds a · b twice (the cross products of a square) with one multiplication.
    [[gnu::always_inline]] void addTwice(Limb a, Limb b) {
        const Wide product = Wide{a} * b;
        addProduct(product);
        addProduct(product);
    }

    [[gnu::always_inline]] void addProduct(Wide product) {
        const Limb low = static_cast<Limb>(product);
        const Limb high = static_cast<Limb>(product >> 64);
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
        // One carry chain through the flags; compilers spill and reload the halves of a
        // 128-bit sum here instead.
        asm("addq %3, %0\n\tadcq %4, %1\n\tadcq $0, %2"
            : "+r"(c0), "+r"(c1), "+r"(c2)
            : "r"(low), "r"(high)
            : "cc");
#else
        Wide s = Wide{c0} + low;
        c0 = static_cast<Limb>(s);
        s = Wide{c1} + high + static_cast<Limb>(s >> 64);
        c1 = static_cast<Limb>(s);
        c2 += static_cast<Limb>(s >> 64);
#endif
    }

    // Moves on to the next column, giving back the finished lowest limb.
    [[gnu::always_inline]] Limb shift() {
        const Limb done = c0;
        c0 = c1;
        c1 = c2;
        c2 = 0;
        return done;
    }
};

// Adds the products a[j] · b[column - j] for j from `from` to `to` (inclusive). For a square
// (a = b) each cross product is taken once and added twice.
template <bool Square>
[[gnu::always_inline]] inline void addProducts(Column& col, const Limb* a, const Limb* b,
                                               std::size_t column, std::size_t from,
                                               std::size_t to) {
    if constexpr (Square) {
#pragma GCC unroll 8
        for (std::size_t j = from; j < column - j; ++j) col.addTwice(a[j], a[column - j]);
        if (column % 2 == 0) col.add(a[column / 2], a[column / 2]);
        (void)b;
        (void)to;
    } else {
#pragma GCC unroll 8
        for (std::size_t j = from; j <= to; ++j) col.add(a[j], b[column - j]);
    }
}

// out = a · b · 2^-512 mod m, fully reduced, for a and b below m: Montgomery multiplication
// by product scanning, the reduction interleaved column by column. out may alias a or b.
template <bool Square>
void montgomery(const Limb* a, const Limb* b, const Modulus& mod, Limb* out) {
    const Limb* m = mod.m;
    Limb u[N];  // the reduction factors, one per low column
    Limb r[N];
    Column col;
#pragma GCC unroll 8
    for (std::size_t i = 0; i < N; ++i) {
        addProducts<Square>(col, a, b, i, 0, i);
#pragma GCC unroll 8
        for (std::size_t j = 0; j < i; ++j) col.add(u[j], m[i - j]);
        u[i] = col.c0 * mod.mInv;
        col.add(u[i], m[0]);  // clears the column's lowest limb
        col.shift();
    }
#pragma GCC unroll 8
    for (std::size_t i = N; i < 2 * N - 1; ++i) {
        addProducts<Square>(col, a, b, i, i - N + 1, N - 1);
#pragma GCC unroll 8
        for (std::size_t j = i - N + 1; j < N; ++j) col.add(u[j], m[i - j]);
        r[i - N] = col.shift();
    }
    r[N - 1] = col.c0;
    const Limb top = col.c1;

    // r + top · 2^512 is below 2m: subtract m once unless it is already below m.
    Limb difference[N];
    Limb borrow = 0;
#pragma GCC unroll 8
    for (std::size_t i = 0; i < N; ++i) {
        const Wide d = Wide{r[i]} - m[i] - borrow;
        difference[i] = static_cast<Limb>(d);
        borrow = static_cast<Limb>(d >> 64) & 1;
    }
    const bool keep = top == 0 && borrow != 0;
#pragma GCC unroll 8
    for (std::size_t i = 0; i < N; ++i) out[i] = keep ? r[i] : difference[i];
}

// Each of these is compiled once and called: inlining the unrolled columns into every
// caller makes the compiler take minutes.
[[gnu::noinline]] void multiplyMod(const Limb* a, const Limb* b, const Modulus& mod, Limb* out) {
    montgomery<false>(a, b, mod, out);
}

[[gnu::noinline]] void squareMod(const Limb* a, const Modulus& mod, Limb* out) {
    montgomery<true>(a, a, mod, out);
}

inline unsigned windowAt(const Limb* exponent, std::size_t bit) {
    // kWindow divides 64, so a window never straddles two limbs.
    return static_cast<unsigned>(exponent[bit / 64] >> (bit % 64)) & ((1u << kWindow) - 1);
}

}  // namespace

void PowMod512(const Limb* baseTimesR, const Limb* exponent, std::size_t exponentLimbs,
               const Limb* m, Limb* out) {
    const Modulus mod{m, NegatedInverse(m[0])};

    // base^1 .. base^15 in Montgomery form; the even ones by squaring, which is cheaper.
    Limb powers[1 << kWindow][N];
    for (std::size_t i = 0; i < N; ++i) powers[1][i] = baseTimesR[i];
    for (unsigned v = 2; v < (1u << kWindow); ++v) {
        if (v % 2 == 0) {
            squareMod(powers[v / 2], mod, powers[v]);
        } else {
            multiplyMod(powers[v - 1], powers[1], mod, powers[v]);
        }
    }

    // Fixed windows of four bits from the top; the top window is not zero, and a zero window
    // costs its squarings only.
    const std::size_t bits =
        64 * exponentLimbs -
        static_cast<std::size_t>(std::countl_zero(exponent[exponentLimbs - 1]));
    std::size_t bit = (bits - 1) / kWindow * kWindow;
    Limb acc[N];
    const unsigned first = windowAt(exponent, bit);
    for (std::size_t i = 0; i < N; ++i) acc[i] = powers[first][i];
    while (bit > 0) {
        bit -= kWindow;
        for (int s = 0; s < kWindow; ++s) squareMod(acc, mod, acc);
        const unsigned v = windowAt(exponent, bit);
        if (v != 0) multiplyMod(acc, powers[v], mod, acc);
    }

    // Out of the Montgomery form: acc · 1 · 2^-512.
    Limb one[N] = {1};
    multiplyMod(acc, one, mod, out);
}

}  // namespace qr::mont

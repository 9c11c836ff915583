#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>

#include "CryptoOracles.h"
#include "igc/BigInt.h"
#include "igc/GRecordKey.h"

namespace qr {
namespace {

using test::MpzToBytes;
using test::ToBig;
using test::ToMpz;

using namespace std::string_literals;

TEST(BigInt, DecimalTexts) {
    struct Case {
        const char* text;
        bool negative;
        std::string bytes;
    };
    const Case cases[] = {
        {"007", false, "\x07"},
        {"-12", true, "\x0C"},
        {"x5", false, "\x05"},  // leading non-digits are skipped
        {"0", false, "\0"s},
        {"", false, "\0"s},
        {"-0", false, "\0"s},  // zero carries no sign
        {"-000", false, "\0"s},
        {"4294967296", false, "\x01\0\0\0\0"s},
        {"1000000000000000000", false, "\x0D\xE0\xB6\xB3\xA7\x64\x00\x00"s},
    };
    for (const Case& c : cases) {
        const TBigInt n = BigFromDecimalText(c.text);
        EXPECT_EQ(n.IsNegative(), c.negative) << c.text;
        EXPECT_EQ(n.Sign(), c.negative ? 0 : 1) << c.text;
        EXPECT_EQ(BigToByteText(n), c.bytes) << c.text;
    }
    for (const char* bad : {"12a", "x", "--5", "-x5", "1 2"}) {
        EXPECT_THROW(BigFromDecimalText(bad), std::invalid_argument) << bad;
    }
}

TEST(BigInt, ByteTexts) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"\0"s, "\0"s},
        {"\xFF", "\xFF"},
        {"\x01\x00"s, "\x01\x00"s},
        {"\x00\x01"s, "\x01"},  // leading zero bytes carry no weight
        {"\0\0\0"s, "\0"s},
        {"\x80\0\0\0\0\0\0\0\0"s, "\x80\0\0\0\0\0\0\0\0"s},
    };
    for (const Case& c : cases) EXPECT_EQ(BigToByteText(BigFromByteText(c.in)), c.out);
    EXPECT_EQ(BigToByteText(BigFromDecimalText("255")), "\xFF");
    EXPECT_EQ(BigToByteText(BigFromDecimalText("256")), "\x01\x00"s);
    EXPECT_THROW(BigFromByteText(""), std::invalid_argument);
}

TEST(BigInt, BitTextsAndBase31Record) {
    const TBigInt twoTo31 = BigFromDecimalText("2147483648");
    EXPECT_EQ(twoTo31.Base31Cells(), (std::vector<std::int64_t>{2, 0, 1}));
    EXPECT_EQ(BigToBitText(twoTo31), "1" + std::string(31, '0'));

    EXPECT_EQ(BigFromDecimalText("2147483647").Base31Cells(),
              (std::vector<std::int64_t>{1, 2147483647}));
    EXPECT_EQ(TBigInt().Base31Cells(), (std::vector<std::int64_t>{1, 0}));
    EXPECT_EQ(BigToBitText(TBigInt()), "0");
    // 2^62 needs three digits: 0, 0, 1.
    EXPECT_EQ(BigFromBitText("1" + std::string(62, '0')).Base31Cells(),
              (std::vector<std::int64_t>{3, 0, 0, 1}));

    EXPECT_EQ(BigToBitText(BigFromBitText("000101")), "101");
    EXPECT_EQ(BigToBitText(BigFromBitText("0000")), "0");
    EXPECT_THROW(BigFromBitText(""), std::invalid_argument);
    EXPECT_THROW(BigFromBitText("102"), std::invalid_argument);
}

TEST(BigInt, CompareMagnitudeIgnoresSign) {
    const TBigInt minus5 = BigFromDecimalText("-5");
    const TBigInt three = BigFromDecimalText("3");
    EXPECT_EQ(BigCompareMagnitude(minus5, three), TBigCompare::Larger);
    EXPECT_EQ(BigCompareMagnitude(three, minus5), TBigCompare::Smaller);
    EXPECT_EQ(BigCompareMagnitude(minus5, BigFromDecimalText("5")), TBigCompare::Equal);
    EXPECT_EQ(BigCompareMagnitude(TBigInt(), BigFromDecimalText("-0")), TBigCompare::Equal);
}

TEST(BigInt, InverseModReportsMissingInverse) {
    struct Case {
        const char* a;
        const char* m;
        std::optional<const char*> inverse;
    };
    const Case cases[] = {
        {"3", "7", "5"},           {"-3", "7", "2"},         {"10", "7", "5"},
        {"5", "1", "0"},           {"6", "9", std::nullopt}, {"0", "7", std::nullopt},
        {"14", "7", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto inverse = BigInverseMod(BigFromDecimalText(c.a), BigFromDecimalText(c.m));
        ASSERT_EQ(inverse.has_value(), c.inverse.has_value()) << c.a << " mod " << c.m;
        if (inverse) {
            EXPECT_EQ(*inverse, BigFromDecimalText(*c.inverse)) << c.a << " mod " << c.m;
        }
    }
}

TEST(BigInt, ModuliAndExponentsOutsideTheDomainAreRefused) {
    const TBigInt five = BigFromDecimalText("5");
    for (const char* m : {"0", "-7"}) {
        const TBigInt modulus = BigFromDecimalText(m);
        EXPECT_THROW(BigMod(five, modulus), std::domain_error) << m;
        EXPECT_THROW(BigPowMod(five, five, modulus), std::domain_error) << m;
        EXPECT_THROW(BigInverseMod(five, modulus), std::domain_error) << m;
    }
    EXPECT_THROW(BigPowMod(five, BigFromDecimalText("-1"), five), std::domain_error);
    EXPECT_EQ(BigPowMod(five, TBigInt(), BigFromDecimalText("7")), TBigInt::FromUnsigned(1));
    EXPECT_EQ(BigPowMod(five, five, TBigInt::FromUnsigned(1)), TBigInt());
}

// Dividends whose first quotient estimate is one too large even after the two-limb check, so
// the long division has to add the divisor back; random operands almost never get there.
TEST(BigInt, ModNeedingTheDivisionsAddBackStep) {
    struct Case {
        const char* a;
        const char* m;
    };
    const Case cases[] = {
        {"7fffffffffffffff800000000000000000000000000000000000000000000000",
         "800000000000000000000000000000000000000000000001"},
        {"-7fffffffffffffff800000000000000000000000000000000000000000000000",
         "800000000000000000000000000000000000000000000001"},
    };
    for (const Case& c : cases) {
        const mpz_class a(c.a, 16);
        const mpz_class m(c.m, 16);
        mpz_class expected;
        mpz_mod(expected.get_mpz_t(), a.get_mpz_t(), m.get_mpz_t());
        EXPECT_EQ(ToMpz(BigMod(ToBig(a), ToBig(m))), expected) << c.a;
    }
}

// Operands of 0 to maxBits bits. Some are built from runs of 0x00 and 0xFF bytes, which drive
// the long division into its rare corrections and the additions into long carries.
class Operands {
public:
    explicit Operands(std::uint64_t seed) : random_(seed) {}

    mpz_class unsignedUpTo(unsigned maxBits) {
        const unsigned bits = static_cast<unsigned>(random_() % (maxBits + 1));
        std::string bytes((bits + 7) / 8 + 1, '\0');
        const int style = static_cast<int>(random_() % 3);
        for (char& c : bytes) {
            const std::uint64_t r = random_();
            if (style == 0 || r % 3 == 0) {
                c = static_cast<char>(r >> 8);
            } else {
                c = (r % 3 == 1) ? '\xFF' : '\0';
            }
        }
        mpz_class v = test::MpzFromBytes(bytes);
        mpz_class limit = 1;
        limit <<= bits;
        return v % limit;
    }

    mpz_class signedUpTo(unsigned maxBits) {
        mpz_class v = unsignedUpTo(maxBits);
        return random_() % 2 == 0 ? mpz_class(-v) : v;
    }

    mpz_class positiveUpTo(unsigned maxBits) {
        mpz_class v = unsignedUpTo(maxBits);
        return v == 0 ? mpz_class(1) : v;
    }

private:
    std::mt19937_64 random_;
};

TEST(BigInt, ArithmeticMatchesGmp) {
    Operands operands(271828);
    for (int i = 0; i < 3000; ++i) {
        const mpz_class A = operands.signedUpTo(1024);
        const mpz_class B = operands.signedUpTo(i % 2 == 0 ? 1024 : 200);
        const mpz_class M = operands.positiveUpTo(i % 3 == 0 ? 64 : 1024);
        const TBigInt a = ToBig(A);
        const TBigInt b = ToBig(B);
        const TBigInt m = ToBig(M);
        SCOPED_TRACE("A=" + A.get_str(16) + " B=" + B.get_str(16) + " M=" + M.get_str(16));

        ASSERT_EQ(ToMpz(a), A);
        ASSERT_EQ(ToMpz(BigAdd(a, b)), A + B);
        ASSERT_EQ(ToMpz(BigMul(a, b)), A * B);
        mpz_class expected;
        mpz_mod(expected.get_mpz_t(), A.get_mpz_t(), M.get_mpz_t());
        ASSERT_EQ(ToMpz(BigMod(a, m)), expected);
        mpz_mod(expected.get_mpz_t(), mpz_class(A * B).get_mpz_t(), M.get_mpz_t());
        ASSERT_EQ(ToMpz(BigMulMod(a, b, m)), expected);
        ASSERT_EQ(ToMpz(BigGcd(a, b)), gcd(A, B));

        const int cmp = mpz_cmpabs(A.get_mpz_t(), B.get_mpz_t());
        ASSERT_EQ(BigCompareMagnitude(a, b), cmp < 0   ? TBigCompare::Smaller
                                             : cmp > 0 ? TBigCompare::Larger
                                                       : TBigCompare::Equal);

        const mpz_class absA = abs(A);
        ASSERT_EQ(BigToBitText(a), absA.get_str(2));
        ASSERT_EQ(ToMpz(BigFromBitText(absA.get_str(2))), absA);
        ASSERT_EQ(BigToByteText(a), MpzToBytes(absA));
        ASSERT_EQ(ToMpz(BigFromByteText(std::string(i % 3, '\0') + MpzToBytes(absA))), absA);

        if (M > 1) {
            const auto inverse = BigInverseMod(a, m);
            mpz_class gmpInverse;
            const bool exists =
                mpz_invert(gmpInverse.get_mpz_t(), A.get_mpz_t(), M.get_mpz_t()) != 0;
            ASSERT_EQ(inverse.has_value(), exists);
            if (exists) {
                ASSERT_EQ(ToMpz(*inverse), gmpInverse);
            }
        }
    }
}

TEST(BigInt, PowModMatchesGmp) {
    Operands operands(314159);
    for (int i = 0; i < 300; ++i) {
        const mpz_class base = operands.signedUpTo(1024);
        const mpz_class exponent = operands.unsignedUpTo(i % 4 == 0 ? 1024 : 300);
        mpz_class modulus = operands.positiveUpTo(1024);
        if (i % 5 != 0) modulus |= 1;  // mostly odd, as in use
        SCOPED_TRACE("base=" + base.get_str(16) + " e=" + exponent.get_str(16) +
                     " m=" + modulus.get_str(16));
        mpz_class expected;
        mpz_powm(expected.get_mpz_t(), base.get_mpz_t(), exponent.get_mpz_t(), modulus.get_mpz_t());
        ASSERT_EQ(ToMpz(BigPowMod(ToBig(base), ToBig(exponent), ToBig(modulus))), expected);
    }
}

// The signer's shape: a 160-bit exponent modulo a 512-bit odd modulus.
TEST(BigInt, PowMod160BitExponent512BitModulusMatchesGmp) {
    std::mt19937_64 random(161803);
    gmp_randclass gmpRandom(gmp_randinit_default);
    gmpRandom.seed(static_cast<unsigned long>(random()));
    for (int i = 0; i < 100; ++i) {
        mpz_class modulus = gmpRandom.get_z_bits(512);
        mpz_setbit(modulus.get_mpz_t(), 511);
        mpz_setbit(modulus.get_mpz_t(), 0);
        const mpz_class exponent = gmpRandom.get_z_bits(160);
        const mpz_class base = gmpRandom.get_z_range(modulus);
        mpz_class expected;
        mpz_powm(expected.get_mpz_t(), base.get_mpz_t(), exponent.get_mpz_t(), modulus.get_mpz_t());
        ASSERT_EQ(ToMpz(BigPowMod(ToBig(base), ToBig(exponent), ToBig(modulus))), expected)
            << "base=" << base.get_str(16) << " e=" << exponent.get_str(16)
            << " m=" << modulus.get_str(16);
    }
}

// Eight-limb odd moduli take the fixed-size Montgomery code: its edges against GMP. The moduli
// span that size from the smallest (2^448 + 1) to the largest (2^512 - 1) and include the
// signing key's p; the bases and exponents are the values where windows, tables and the final
// subtraction have their boundaries.
TEST(BigInt, PowModFixedSizeEdgesMatchGmp) {
    const mpz_class one = 1;
    std::mt19937_64 random(27182818);
    gmp_randclass gmpRandom(gmp_randinit_default);
    gmpRandom.seed(static_cast<unsigned long>(random()));
    mpz_class random512 = gmpRandom.get_z_bits(512);
    mpz_setbit(random512.get_mpz_t(), 511);
    mpz_setbit(random512.get_mpz_t(), 0);
    mpz_class random449 = gmpRandom.get_z_bits(449);
    mpz_setbit(random449.get_mpz_t(), 448);
    mpz_setbit(random449.get_mpz_t(), 0);
    const mpz_class moduli[] = {
        (one << 448) + 1, random449,        random512,
        (one << 512) - 1, (one << 511) + 1, mpz_class(std::string(kGRecordKey.p)),
    };
    for (const mpz_class& m : moduli) {
        ASSERT_EQ((mpz_sizeinbase(m.get_mpz_t(), 2) + 63) / 64, 8u);
        const mpz_class bases[] = {0,
                                   1,
                                   2,
                                   m - 1,
                                   m - 2,
                                   m,
                                   m + 1,
                                   (m + 1) / 2,
                                   -1,
                                   gmpRandom.get_z_range(m),
                                   gmpRandom.get_z_bits(1024)};
        const mpz_class exponents[] = {0,
                                       1,
                                       2,
                                       3,
                                       15,
                                       16,
                                       17,
                                       (one << 64),
                                       (one << 64) - 1,
                                       (one << 160) - 1,
                                       (one << 159),
                                       gmpRandom.get_z_bits(160),
                                       gmpRandom.get_z_bits(161),
                                       m - 1,
                                       (one << 1030) - 1};
        for (const mpz_class& base : bases) {
            for (const mpz_class& exponent : exponents) {
                mpz_class expected;
                mpz_powm(expected.get_mpz_t(), base.get_mpz_t(), exponent.get_mpz_t(),
                         m.get_mpz_t());
                ASSERT_EQ(ToMpz(BigPowMod(ToBig(base), ToBig(exponent), ToBig(m))), expected)
                    << "base=" << base.get_str(16) << " e=" << exponent.get_str(16)
                    << " m=" << m.get_str(16);
            }
        }
    }
}

// Random eight-limb moduli with exponents of every length up to 600 bits.
TEST(BigInt, PowModFixedSizeRandomMatchesGmp) {
    std::mt19937_64 random(14142135);
    gmp_randclass gmpRandom(gmp_randinit_default);
    gmpRandom.seed(static_cast<unsigned long>(random()));
    for (int i = 0; i < 600; ++i) {
        const unsigned bits = 449 + static_cast<unsigned>(random() % 64);
        mpz_class modulus = gmpRandom.get_z_bits(bits);
        mpz_setbit(modulus.get_mpz_t(), bits - 1);
        mpz_setbit(modulus.get_mpz_t(), 0);
        const mpz_class exponent = gmpRandom.get_z_bits(1 + static_cast<unsigned>(i));
        const mpz_class base = gmpRandom.get_z_bits(static_cast<unsigned>(random() % 520));
        mpz_class expected;
        mpz_powm(expected.get_mpz_t(), base.get_mpz_t(), exponent.get_mpz_t(), modulus.get_mpz_t());
        ASSERT_EQ(ToMpz(BigPowMod(ToBig(base), ToBig(exponent), ToBig(modulus))), expected)
            << "base=" << base.get_str(16) << " e=" << exponent.get_str(16)
            << " m=" << modulus.get_str(16);
    }
}

}  // namespace
}  // namespace qr

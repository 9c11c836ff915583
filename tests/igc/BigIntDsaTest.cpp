#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>

#include "CryptoOracles.h"
#include "igc/BigIntDsa.h"
#include "igc/GRecordKey.h"

namespace qr {
namespace {

using test::ToBig;
using test::ToMpz;

struct Key {
    mpz_class p{std::string(kGRecordKey.p)};
    mpz_class q{std::string(kGRecordKey.q)};
    mpz_class g{std::string(kGRecordKey.g)};
    mpz_class x{std::string(kGRecordKey.x)};
};

std::string pemPath() {
    return test::DataPath("signing-key-public.pem");
}

// The published public key belongs to the built-in private value.
TEST(BigDsaSign, PublicKeyFileMatchesTheSigningKey) {
    const Key key;
    const test::DsaPublicKey pub = test::ReadDsaPublicKey(pemPath());
    EXPECT_EQ(pub.p, key.p);
    EXPECT_EQ(pub.q, key.q);
    EXPECT_EQ(pub.g, key.g);
    mpz_class y;
    mpz_powm(y.get_mpz_t(), key.g.get_mpz_t(), key.x.get_mpz_t(), key.p.get_mpz_t());
    EXPECT_EQ(pub.y, y);
}

// r and s follow the textbook formulas (computed with GMP) and OpenSSL accepts them.
TEST(BigDsaSign, MatchesTextbookAndVerifiesWithOpenssl) {
    const Key key;
    std::mt19937_64 random(57721);
    gmp_randclass gmpRandom(gmp_randinit_default);
    gmpRandom.seed(static_cast<unsigned long>(random()));

    for (int i = 0; i < 40; ++i) {
        test::Digest digest{};
        for (auto& b : digest) b = static_cast<std::uint8_t>(random());
        if (i == 0) digest.fill(0);             // m = 0
        if (i == 1) digest[0] = digest[1] = 0;  // leading zero bytes
        if (i == 2) digest.fill(0xFF);          // m above q
        const mpz_class k = i == 3 ? mpz_class(1) : mpz_class(gmpRandom.get_z_range(key.q - 1) + 1);
        const std::string message(reinterpret_cast<const char*>(digest.data()), digest.size());

        const TDsaSignature sig =
            BigDsaSign(ToBig(key.p), ToBig(key.q), ToBig(key.g), ToBig(key.x), ToBig(k), message);

        mpz_class r, kInverse;
        mpz_powm(r.get_mpz_t(), key.g.get_mpz_t(), k.get_mpz_t(), key.p.get_mpz_t());
        r %= key.q;
        mpz_invert(kInverse.get_mpz_t(), k.get_mpz_t(), key.q.get_mpz_t());
        const mpz_class m = test::MpzFromBytes(message);
        const mpz_class s = kInverse * (m + key.x * r) % key.q;
        SCOPED_TRACE("k=" + k.get_str(16) + " digest=" + test::ToHex(message));
        EXPECT_EQ(sig.r, test::MpzToBytes(r));
        EXPECT_EQ(sig.s, test::MpzToBytes(s));

        EXPECT_TRUE(test::OpensslDsaVerify(pemPath(), digest, r, s));
        test::Digest other = digest;
        other[19] ^= 1;
        EXPECT_FALSE(test::OpensslDsaVerify(pemPath(), other, r, s));
    }
}

TEST(BigDsaSign, KWithoutInverseIsRefused) {
    const Key key;
    EXPECT_THROW(BigDsaSign(ToBig(key.p), ToBig(key.q), ToBig(key.g), ToBig(key.x), TBigInt(),
                            std::string(20, 'a')),
                 std::domain_error);
}

}  // namespace
}  // namespace qr

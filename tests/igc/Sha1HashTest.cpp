#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>

#include "CryptoOracles.h"
#include "igc/Sha1Hash.h"

namespace qr {
namespace {

using test::Digest;

Digest sha1Of(std::string_view text) {
    TSha1 sha;
    sha.Init();
    sha.UpdateStr(text);
    Digest d{};
    sha.Final(d.data());
    return d;
}

std::string hexOf(const Digest& d) {
    return test::ToHex(std::string_view(reinterpret_cast<const char*>(d.data()), d.size()));
}

TEST(Sha1, ClassFactsAndSelfTest) {
    const std::unique_ptr<THash> hash = std::make_unique<TSha1>();
    EXPECT_EQ(hash->Id(), 2);
    EXPECT_EQ(hash->Algorithm(), "SHA1");
    EXPECT_EQ(hash->HashSize(), 160);
    EXPECT_TRUE(hash->SelfTest());
    EXPECT_FALSE(hash->Initialized());
}

TEST(Sha1, FipsSamples) {
    struct Case {
        std::string input;
        const char* digest;
    };
    const Case cases[] = {
        {"", "DA39A3EE5E6B4B0D3255BFEF95601890AFD80709"},
        {"abc", "A9993E364706816ABA3E25717850C26C9CD0D89D"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983E441C3BD26EBAAE4AA1F95129E5E54670F1"},
    };
    for (const Case& c : cases) EXPECT_EQ(hexOf(sha1Of(c.input)), c.digest) << c.input;

    // One million "a", fed as 1000 runs of 1000.
    TSha1 sha;
    sha.Init();
    const std::string run(1000, 'a');
    for (int i = 0; i < 1000; ++i) sha.UpdateStr(run);
    Digest d{};
    sha.Final(d.data());
    EXPECT_EQ(hexOf(d), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");
}

TEST(Sha1, SplitUpdateEqualsOneUpdate) {
    TSha1 sha;
    sha.Init();
    sha.UpdateStr("ab");
    sha.UpdateStr(std::string_view());
    sha.UpdateStr("c");
    Digest d{};
    sha.Final(d.data());
    EXPECT_EQ(d, sha1Of("abc"));
}

// 55 bytes leave room for the length in the last block, 56 need an extra one; 63/64 and
// 119/120 are the same boundaries one block on.
TEST(Sha1, PaddingBoundaries) {
    for (const std::size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 128u}) {
        const std::string input(length, static_cast<char>('A' + length % 26));
        EXPECT_EQ(sha1Of(input), test::OpensslSha1(input)) << length;
    }
}

TEST(Sha1, UseWithoutInitialiseRaises) {
    Digest d{};
    const auto expectNotInitialized = [](auto&& action) {
        try {
            action();
            ADD_FAILURE() << "no EHashError";
        } catch (const EHashError& e) {
            EXPECT_STREQ(e.what(), "Hash not initialized");
        }
    };
    TSha1 fresh;
    expectNotInitialized([&] { fresh.UpdateStr("x"); });
    expectNotInitialized([&] { fresh.Final(d.data()); });

    TSha1 finished;
    finished.Init();
    finished.UpdateStr("abc");
    finished.Final(d.data());
    EXPECT_FALSE(finished.Initialized());
    expectNotInitialized([&] { finished.UpdateStr("x"); });
    expectNotInitialized([&] { finished.Final(d.data()); });

    TSha1 cleared;
    cleared.Init();
    cleared.Clear();
    expectNotInitialized([&] { cleared.UpdateStr("x"); });

    // A new Init starts over: the earlier input leaves no trace.
    finished.Init();
    finished.UpdateStr("abc");
    finished.Final(d.data());
    EXPECT_EQ(d, sha1Of("abc"));
}

// Every length from 0 to 300 and a few large ones, each fed in random pieces.
TEST(Sha1, MatchesOpensslOnRandomInputInRandomPieces) {
    std::mt19937_64 random(20240715);
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 300; ++n) lengths.push_back(n);
    for (const std::size_t n : {4095u, 65536u, 100'003u, 1'048'576u + 17u}) lengths.push_back(n);

    for (const std::size_t length : lengths) {
        std::string input(length, '\0');
        for (char& c : input) c = static_cast<char>(random() & 0xFF);
        TSha1 sha;
        sha.Init();
        std::size_t pos = 0;
        while (pos < length) {
            // Mostly short pieces, now and then a long one that spans whole blocks.
            const std::size_t most = random() % 4 == 0 ? 300 : 70;
            const std::size_t piece = std::min<std::size_t>(length - pos, random() % (most + 1));
            sha.Update(input.data() + pos, piece);
            pos += piece;
        }
        Digest d{};
        sha.Final(d.data());
        ASSERT_EQ(d, test::OpensslSha1(input)) << "length " << length;
    }
}

}  // namespace
}  // namespace qr

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "CryptoOracles.h"
#include "igc/Sha1Hash.h"

namespace qr {
namespace {

using test::Digest;

Digest sha1Of(std::string_view text, TSha1Engine engine = Sha1BestEngine()) {
    TSha1 sha(engine);
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

// The digest tests run once for every engine this processor has, so that the portable code is
// checked also where the SHA instructions would be chosen.
class Sha1Engine : public testing::TestWithParam<TSha1Engine> {};

INSTANTIATE_TEST_SUITE_P(OnThisProcessor, Sha1Engine, testing::ValuesIn(Sha1Engines()),
                         [](const testing::TestParamInfo<TSha1Engine>& info) {
                             std::string name(Sha1EngineName(info.param));
                             std::replace_if(
                                 name.begin(), name.end(),
                                 [](char c) {
                                     return !std::isalnum(static_cast<unsigned char>(c));
                                 },
                                 '_');
                             return name;
                         });

TEST_P(Sha1Engine, FipsSamples) {
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
    for (const Case& c : cases) EXPECT_EQ(hexOf(sha1Of(c.input, GetParam())), c.digest) << c.input;

    // One million "a", fed as 1000 runs of 1000.
    TSha1 sha(GetParam());
    sha.Init();
    const std::string run(1000, 'a');
    for (int i = 0; i < 1000; ++i) sha.UpdateStr(run);
    Digest d{};
    sha.Final(d.data());
    EXPECT_EQ(hexOf(d), "34AA973CD4C4DAA4F61EEB2BDBAD27316534016F");
}

TEST_P(Sha1Engine, SplitUpdateEqualsOneUpdate) {
    TSha1 sha(GetParam());
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
TEST_P(Sha1Engine, PaddingBoundaries) {
    for (const std::size_t length : {55u, 56u, 63u, 64u, 65u, 119u, 120u, 128u}) {
        const std::string input(length, static_cast<char>('A' + length % 26));
        EXPECT_EQ(sha1Of(input, GetParam()), test::OpensslSha1(input)) << length;
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
TEST_P(Sha1Engine, MatchesOpensslOnRandomInputInRandomPieces) {
    std::mt19937_64 random(20240715);
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 300; ++n) lengths.push_back(n);
    for (const std::size_t n : {4095u, 65536u, 100'003u, 1'048'576u + 17u}) lengths.push_back(n);

    for (const std::size_t length : lengths) {
        std::string input(length, '\0');
        for (char& c : input) c = static_cast<char>(random() & 0xFF);
        TSha1 sha(GetParam());
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

// The processor's own account (the kernel's CPU flags) decides which engines must be there.
TEST(Sha1, EnginesFollowTheProcessorFlags) {
    const std::vector<TSha1Engine> engines = Sha1Engines();
    ASSERT_FALSE(engines.empty());
    EXPECT_EQ(engines.front(), TSha1Engine::Portable);
    EXPECT_EQ(Sha1BestEngine(), engines.back());
    EXPECT_EQ(sha1Of("abc"), sha1Of("abc", TSha1Engine::Portable));

    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    std::set<std::string> flags;
    while (flags.empty() && std::getline(cpuinfo, line)) {
        if (!line.starts_with("flags")) continue;
        std::istringstream words(line.substr(line.find(':') + 1));
        for (std::string word; words >> word;) flags.insert(word);
    }
    if (flags.empty()) GTEST_SKIP() << "no CPU flags in /proc/cpuinfo";
    const auto has = [&](const char* flag) { return flags.count(flag) != 0; };
    const auto listed = [&](TSha1Engine e) {
        return std::find(engines.begin(), engines.end(), e) != engines.end();
    };
    EXPECT_EQ(listed(TSha1Engine::ShaExtension), has("sha_ni") && has("ssse3") && has("sse4_1"));
    EXPECT_EQ(listed(TSha1Engine::Bmi2), has("bmi2"));
    if (listed(TSha1Engine::ShaExtension)) {
        EXPECT_EQ(Sha1BestEngine(), TSha1Engine::ShaExtension);
    }
    for (const TSha1Engine e : {TSha1Engine::Bmi2, TSha1Engine::ShaExtension}) {
        if (!listed(e)) {
            EXPECT_THROW(TSha1 sha(e), std::invalid_argument);
        }
    }
}

}  // namespace
}  // namespace qr

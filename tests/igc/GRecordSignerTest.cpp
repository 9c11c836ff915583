#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <string>
#include <vector>

#include "GRecordCheck.h"
#include "GRecordOracle.h"
#include "common/Errors.h"
#include "igc/GRecordDigest.h"
#include "igc/GRecordKey.h"
#include "igc/uGRecDSA.h"

namespace qr {
namespace {

using test::ReadFileBytes;
using test::TempDir;
using test::WriteFileBytes;

std::string hexOf(const TGRecordDigest& d) {
    return test::ToHex(std::string_view(reinterpret_cast<const char*>(d.data()), d.size()));
}

// OpenSSL with its own line selection, and the qvd-vali check, must agree.
bool verifiersAccept(const std::string& signedBytes) {
    const bool openssl = test::OpensslAcceptsGRecord(signedBytes);
    EXPECT_EQ(vali::CheckGRecord(signedBytes).passed, openssl);
    return openssl;
}

std::string unsignedSample() {
    return ReadFileBytes(test::DataPath("grecord-kat-unsigned.igc"));
}

// Seams for tests: the clock seed stays, the pauses are only recorded.
struct QuickSeams {
    std::vector<int> pauses;
    SignerSeams seams;
    QuickSeams() {
        seams.pause = [this](int ms) { pauses.push_back(ms); };
    }
};

// The bytes after `original`: exactly two "GValdorine " lines with CR LF.
void expectTwoGLines(const std::string& original, const std::string& signedBytes) {
    ASSERT_EQ(signedBytes.substr(0, original.size()), original);
    const std::string tail = signedBytes.substr(original.size());
    static const std::regex twoLines("GValdorine [0-9A-F]+\r\nGValdorine [0-9A-F]+\r\n");
    EXPECT_TRUE(std::regex_match(tail, twoLines)) << tail;
}

std::string signCopy(const TempDir& dir, const std::string& name, const std::string& bytes,
                     const SignerSeams& seams) {
    const std::string path = dir.path(name);
    WriteFileBytes(path, bytes);
    SignIgcFile(path, seams);
    return ReadFileBytes(path);
}

TEST(GRecordSigner, KnownAnswer) {
    TempDir dir;
    QuickSeams quick;
    quick.seams.k = [](const TBigInt&) {
        return BigFromDecimalText("123456789012345678901234567890");
    };
    const std::string original = unsignedSample();
    const std::string signedBytes = signCopy(dir, "kat.igc", original, quick.seams);

    EXPECT_EQ(hexOf(GRecordDigest(ReadIgcLines(original))),
              "53FC85D958B41865BF148612EB9D2F7F89353740");
    // Every SHA-1 engine of this processor, the portable one among them, gives that digest.
    for (const TSha1Engine engine : Sha1Engines()) {
        EXPECT_EQ(hexOf(GRecordDigest(ReadIgcLines(original), engine)),
                  "53FC85D958B41865BF148612EB9D2F7F89353740")
            << Sha1EngineName(engine);
    }
    EXPECT_EQ(signedBytes, original +
                               "GValdorine B8EA50B33FE58DB9B96DE3768C806C575EA207B4\r\n"
                               "GValdorine C7618B251C24555D33CED49588D71B21ECFE0C8F\r\n");
    EXPECT_EQ(quick.pauses, (std::vector<int>{100, 1000}));
    EXPECT_TRUE(verifiersAccept(signedBytes));
}

TEST(GRecordSigner, DigestCoversTheDataLines) {
    struct Case {
        const char* what;
        std::string file;
        std::string digested;
    };
    const Case cases[] = {
        {"H, B and L records",
         "HFDTEDATE:150724\r\nHOPLTPILOT: X\r\nB1101355206343N\r\nLXVNtitle\r\n"
         "B1101455206360N\r\nGABCDEF\r\nLXVNdate\r\n",
         "HFDTEDATE:150724\nB1101355206343N\nB1101455206360N\n"},
        {"L   Valdorine lines count, near misses do not",
         "L   Valdorine anything\r\nL   Valdorin\r\nL  Valdorine\r\nLXVN\r\n",
         "L   Valdorine anything\n"},
        {"other records and empty lines count",
         "AXVN 1\r\nI013638FXA\r\nJ\r\nC1\r\nE1\r\nF1\r\nK1\r\nH\r\nHo\r\n\r\nx\r\n",
         "AXVN 1\nI013638FXA\nJ\nC1\nE1\nF1\nK1\nH\nHo\n\nx\n"},
        {"LF alone ends a line", "A1\nB2\n", "A1\nB2\n"},
        {"a lone CR is dropped", "B1\r23\r\nB4\r\r\n", "B123\nB4\n"},
        {"the last line needs no line end", "A1\r\nB2", "A1\nB2\n"},
        {"an empty file", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GRecordDigest(ReadIgcLines(c.file)), test::OpensslSha1(c.digested)) << c.what;
    }
}

TEST(GRecordSigner, LinesWhenCrAloneEndsThem) {
    EXPECT_EQ(ReadIgcLines("A1\rB2\r\rC3\r\nD4\r", TLoneCr::EndsLine),
              (std::vector<std::string>{"A1", "B2", "", "C3", "D4"}));
    EXPECT_EQ(ReadIgcLines("A1\rB2\r", TLoneCr::Dropped), (std::vector<std::string>{"A1B2"}));
}

// Optional headers and comments may be edited after signing; flight data may not.
TEST(GRecordSigner, EditsAfterSigning) {
    TempDir dir;
    QuickSeams quick;
    const std::string signedBytes = signCopy(dir, "edit.igc", unsignedSample(), quick.seams);
    ASSERT_TRUE(verifiersAccept(signedBytes));

    struct Case {
        const char* line;  // the line that is changed
        bool staysValid;
    };
    const Case cases[] = {
        {"HOSITSite:Test field", true},
        {"LXXXcomment not signed", true},
        {"L   Valdorine firmware 1.0", false},
        {"AXXXABC Test logger", false},
        {"HFPLTPILOTINCHARGE:Jane Doe", false},
        {"B1101555206380N00006225WA0059000562000", false},
        {"I013638FXA", false},
    };
    for (const Case& c : cases) {
        const std::string line(c.line);
        const std::size_t at = signedBytes.find(line + "\r\n");
        ASSERT_NE(at, std::string::npos) << c.line;
        // Built by appending: GCC 12 at -O3 warns falsely about an insert here.
        const std::size_t end = at + line.size();
        std::string edited = signedBytes.substr(0, end);
        edited += 'X';
        edited.append(signedBytes, end);
        EXPECT_EQ(verifiersAccept(edited), c.staysValid) << c.line;
    }
}

TEST(GRecordSigner, TwoSignaturesOfTheSameFileDifferAndBothHold) {
    TempDir dir;
    QuickSeams quick;
    const std::string original = unsignedSample();
    const std::string first = signCopy(dir, "one.igc", original, quick.seams);
    const std::string second = signCopy(dir, "two.igc", original, quick.seams);
    ASSERT_NO_FATAL_FAILURE(expectTwoGLines(original, first));
    ASSERT_NO_FATAL_FAILURE(expectTwoGLines(original, second));
    EXPECT_NE(first, second);
    EXPECT_TRUE(verifiersAccept(first));
    EXPECT_TRUE(verifiersAccept(second));
}

TEST(GRecordSigner, DrawsKWithTheLinearCongruentialGenerator) {
    const TBigInt q = BigFromDecimalText(kGRecordKey.q);
    struct Case {
        std::uint32_t seed;
        const char* k;  // hex, computed independently
    };
    const Case cases[] = {
        {0, "0008DC3345AB51295F6C147912D70F4BEA5EC653"},
        {0xDEADBEEF, "5F2D9792EDD476CDF5AFEB860B4ABD59C0CD225C"},
        {30, "170E60FC2B6CE29E6D5C81E743D9E2755A119EA4"},  // the first draw is above q
        {0xFFFFFFFF, "8DF82173FE31AFAA5F13D06C76CD917518F2A2E6"},
    };
    for (const Case& c : cases) {
        const std::string k = test::ToHex(BigToByteText(DrawK(c.seed, q)));
        EXPECT_EQ(std::string(40 - k.size(), '0') + k, c.k) << c.seed;
    }
}

// A value below 2^152 loses its leading zero byte: 38 hex digits instead of 40.
TEST(GRecordSigner, ShortValuesGiveShorterLines) {
    TempDir dir;
    const std::string original = unsignedSample();
    const TBigInt p = BigFromDecimalText(kGRecordKey.p);
    const TBigInt q = BigFromDecimalText(kGRecordKey.q);
    const TBigInt g = BigFromDecimalText(kGRecordKey.g);
    const TBigInt x = BigFromDecimalText(kGRecordKey.x);
    const TGRecordDigest digest = GRecordDigest(ReadIgcLines(original));
    const std::string message(reinterpret_cast<const char*>(digest.data()), digest.size());

    // Seeds whose signature has a short r, and a short s.
    std::optional<std::uint32_t> shortR, shortS;
    for (std::uint32_t seed = 1; seed < 100000 && !(shortR && shortS); ++seed) {
        const TDsaSignature sig = BigDsaSign(p, q, g, x, DrawK(seed, q), message);
        if (!shortR && sig.r.size() < 20) shortR = seed;
        if (!shortS && sig.s.size() < 20) shortS = seed;
    }
    ASSERT_TRUE(shortR && shortS);

    for (const auto& [seed, shortLine] : {std::pair{*shortR, 0}, std::pair{*shortS, 1}}) {
        QuickSeams quick;
        quick.seams.seed = [seed = seed] { return seed; };
        const std::string signedBytes =
            signCopy(dir, "short" + std::to_string(seed) + ".igc", original, quick.seams);
        ASSERT_NO_FATAL_FAILURE(expectTwoGLines(original, signedBytes));
        const std::vector<std::string> lines = ReadIgcLines(signedBytes.substr(original.size()));
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[shortLine].size(), 11u + 38u) << lines[shortLine];
        EXPECT_TRUE(verifiersAccept(signedBytes));
    }
}

TEST(GRecordSigner, FileLayerErrors) {
    TempDir dir;
    QuickSeams quick;
    struct Case {
        std::string path;
        int code;
        const char* text;
    };
    const Case cases[] = {
        {dir.path("missing.igc"), 2, "Datei nicht gefunden"},
        {dir.path(""), 3, "Ungültiger Dateiname"},  // the folder itself
    };
    for (const Case& c : cases) {
        try {
            SignIgcFile(c.path, quick.seams);
            ADD_FAILURE() << c.path;
        } catch (const EInOutError& e) {
            EXPECT_EQ(e.code(), c.code);
            EXPECT_STREQ(e.what(), c.text);
        }
    }
    EXPECT_TRUE(quick.pauses.empty());
}

// The program's own call: clock seed and the real pauses.
TEST(GRecordSigner, DefaultCallPausesAndSigns) {
    TempDir dir;
    const std::string path = dir.path("default.igc");
    const std::string original = unsignedSample();
    WriteFileBytes(path, original);
    const auto start = std::chrono::steady_clock::now();
    SignIgcFile(path);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1100));
    const std::string signedBytes = ReadFileBytes(path);
    ASSERT_NO_FATAL_FAILURE(expectTwoGLines(original, signedBytes));
    EXPECT_TRUE(verifiersAccept(signedBytes));
}

}  // namespace
}  // namespace qr

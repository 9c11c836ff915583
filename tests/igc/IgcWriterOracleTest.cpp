// Files the writer produces with the real signer, read by independent IGC parsers and
// checked with an independent signature verifier.
#include <gtest/gtest.h>

#include "common/Text.h"
#include "igc/IgcWriter.h"
#include "igc/IgcWriterContent.h"
#include "igc/IgcWriterTestSupport.h"
#include "igc/uGRecDSA.h"
#include "support/IgcOracles.h"

namespace qr {
namespace {

using test::readBytes;
using test::TempSaveDir;

const std::string kPublicKey = std::string(QR_IGC_DATA) + "/signing-key-public.pem";

struct WrittenCase {
    int index;
    bool namesFromLogger;
    const char* pilot;  // as the parser reads it
    int fixes;
    bool signedByUs;  // false: the track brought the logger's own G record
};

void PrintTo(const WrittenCase& c, std::ostream* os) {
    *os << "track " << c.index + 1 << (c.namesFromLogger ? ", logger names" : ", dialog names");
}

class IgcWriterOracles : public ::testing::TestWithParam<WrittenCase> {
protected:
    IgcWriteRequest request() {
        IgcWriteRequest r = test::requestFor(memory_, GetParam().index, GetParam().namesFromLogger);
        r.header.saveDirectory = dir_.path();
        r.signer = [](const std::string& path) {
            SignerSeams seams;
            seams.pause = [](int) {};  // the real signature without the blocking pauses
            SignIgcFile(path, seams);
        };
        return r;
    }

    std::vector<std::string> memory_ = test::loadMemory();
    TempSaveDir dir_;
};

TEST_P(IgcWriterOracles, IgcParserReadsTheFile) {
    const test::OracleRun parsed = test::igcParserRead(writeIgcFile(request()));
    QR_REQUIRE_ORACLE(parsed, "igc-parser");
    ASSERT_TRUE(parsed.accepted) << parsed.output;
    EXPECT_TRUE(contains(parsed.output, "\"fixes\":" + std::to_string(GetParam().fixes) + ","))
        << parsed.output;
    EXPECT_TRUE(contains(parsed.output, "\"pilot\":\"" + std::string(GetParam().pilot) + "\""))
        << parsed.output;
    EXPECT_TRUE(contains(
        parsed.output, GetParam().signedByUs ? "\"security\":\"Valdorine " : "\"security\":\"QVD"))
        << parsed.output;
}

TEST_P(IgcWriterOracles, GpsbabelReadsTheFile) {
    const test::OracleRun read = test::gpsbabelRead(writeIgcFile(request()));
    QR_REQUIRE_ORACLE(read, "gpsbabel");
    EXPECT_TRUE(read.accepted) << read.output;
}

TEST_P(IgcWriterOracles, SignatureVerifiesWithThePublicKey) {
    const IgcWriteRequest r = request();
    const std::string path = writeIgcFile(r);
    const std::string bytes = readBytes(path);
    const std::string composed = composeIgcContent(r).bytes;
    ASSERT_TRUE(startsWith(bytes, composed));
    if (!GetParam().signedByUs) {
        EXPECT_EQ(bytes, composed);
        return;
    }
    // Exactly the composed file and the signer's two lines.
    const auto appended = test::splitCrLf(bytes.substr(composed.size()));
    ASSERT_EQ(appended.size(), 2u);
    for (const auto& line : appended) EXPECT_TRUE(startsWith(line, "GValdorine ")) << line;

    const test::OracleRun verified = test::grecordVerify(path, kPublicKey);
    QR_REQUIRE_ORACLE(verified, "python3-cryptography");
    EXPECT_TRUE(verified.accepted) << verified.output;

    // A date record changed afterwards breaks it; the writer's own "HO" and L lines are not
    // covered.
    for (const auto& [from, to, stillValid] : {std::tuple{"HFDTE080726", "HFDTE090726", false},
                                               std::tuple{"LXVN   Qrtest", "LXVN   Other", true},
                                               std::tuple{"HOSITSite: ", "HOSITSite: X", true}}) {
        std::string edited = bytes;
        const auto at = edited.find(from);
        if (at == std::string::npos) {
            EXPECT_TRUE(stillValid) << from;  // the track has no such line
            continue;
        }
        edited.replace(at, std::string_view(from).size(), to);
        const std::string copy = dir_.path() + "edited.igc";
        std::ofstream(copy, std::ios::binary | std::ios::trunc) << edited;
        EXPECT_EQ(test::grecordVerify(copy, kPublicKey).accepted, stillValid) << from;
    }
}

INSTANTIATE_TEST_SUITE_P(Tracks, IgcWriterOracles,
                         ::testing::Values(WrittenCase{0, true, "Anna Logger", 3, true},
                                           WrittenCase{0, false, "Bruno Dialog", 3, true},
                                           WrittenCase{1, true, "Bruno Dialog", 2, true},
                                           WrittenCase{2, false, "Bruno Dialog", 2, false}),
                         [](const ::testing::TestParamInfo<WrittenCase>& info) {
                             return "Track" + std::to_string(info.param.index + 1) +
                                    (info.param.namesFromLogger ? "LoggerNames" : "DialogNames");
                         });

}  // namespace
}  // namespace qr

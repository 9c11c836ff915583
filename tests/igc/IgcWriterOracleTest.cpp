// Files the writer produces, read by independent IGC parsers.
#include <gtest/gtest.h>

#include "igc/IgcWriter.h"
#include "igc/IgcWriterTestSupport.h"
#include "support/IgcOracles.h"

namespace qr {
namespace {

using test::TempSaveDir;

struct WrittenCase {
    int index;
    bool namesFromLogger;
    const char* pilot;  // as the parser reads it
    int fixes;
};

class IgcWriterOracles : public ::testing::TestWithParam<WrittenCase> {
protected:
    std::string write() {
        IgcWriteRequest r = test::requestFor(memory_, GetParam().index, GetParam().namesFromLogger);
        r.header.saveDirectory = dir_.path();
        r.signer = test::FakeSigner();
        return writeIgcFile(r);
    }

    std::vector<std::string> memory_ = test::loadMemory();
    TempSaveDir dir_;
};

TEST_P(IgcWriterOracles, IgcParserReadsTheFile) {
    const test::OracleRun parsed = test::igcParserRead(write());
    QR_REQUIRE_ORACLE(parsed, "igc-parser");
    ASSERT_TRUE(parsed.accepted) << parsed.output;
    EXPECT_NE(parsed.output.find("\"fixes\":" + std::to_string(GetParam().fixes) + ","),
              std::string::npos)
        << parsed.output;
    EXPECT_NE(parsed.output.find("\"pilot\":\"" + std::string(GetParam().pilot) + "\""),
              std::string::npos)
        << parsed.output;
}

TEST_P(IgcWriterOracles, GpsbabelReadsTheFile) {
    const test::OracleRun read = test::gpsbabelRead(write());
    QR_REQUIRE_ORACLE(read, "gpsbabel");
    EXPECT_TRUE(read.accepted) << read.output;
}

INSTANTIATE_TEST_SUITE_P(Tracks, IgcWriterOracles,
                         ::testing::Values(WrittenCase{0, true, "Anna Logger", 3},
                                           WrittenCase{0, false, "Bruno Dialog", 3},
                                           WrittenCase{1, true, "Bruno Dialog", 2},
                                           WrittenCase{2, false, "Bruno Dialog", 2}));

}  // namespace
}  // namespace qr

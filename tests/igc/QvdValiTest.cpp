#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "GRecordOracle.h"
#include "igc/uGRecDSA.h"

namespace qr {
namespace {

struct Outcome {
    int status = -1;
    std::string output;
};

Outcome runVali(const std::string& path) {
    const std::string command = std::string(QR_QVD_VALI) + " '" + path + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    Outcome outcome;
    char chunk[256];
    while (std::fgets(chunk, sizeof chunk, pipe) != nullptr) outcome.output += chunk;
    const int raw = ::pclose(pipe);
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return outcome;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

class QvdVali : public ::testing::Test {
protected:
    void SetUp() override {
        SignerSeams seams;
        seams.pause = [](int) {};
        const std::string path = dir_.path("signed.igc");
        test::WriteFileBytes(path, test::ReadFileBytes(test::DataPath("grecord-kat-unsigned.igc")));
        SignIgcFile(path, seams);
        signed_ = test::ReadFileBytes(path);
        ASSERT_TRUE(test::OpensslAcceptsGRecord(signed_));
    }

    Outcome check(const std::string& name, const std::string& bytes) {
        const std::string path = dir_.path(name);
        test::WriteFileBytes(path, bytes);
        return runVali(path);
    }

    test::TempDir dir_;
    std::string signed_;
};

TEST_F(QvdVali, PassesSignedFilesWhateverTheirLineEnds) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"crlf.igc", signed_},
        {"lf.igc", replaceAll(signed_, "\r\n", "\n")},
        {"cr.igc", replaceAll(signed_, "\r\n", "\r")},
        {"kat.igc", test::ReadFileBytes(test::DataPath("grecord-kat-unsigned.igc")) +
                        "GValdorine B8EA50B33FE58DB9B96DE3768C806C575EA207B4\r\n"
                        "GValdorine C7618B251C24555D33CED49588D71B21ECFE0C8F\r\n"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = check(c.name, c.bytes);
        EXPECT_EQ(outcome.status, 0) << c.name;
        EXPECT_EQ(outcome.output, "Validation check passed, data indicated as correct\n") << c.name;
    }
}

TEST_F(QvdVali, FailsWithTheReason) {
    const std::size_t gAt = signed_.find("GValdorine ");
    const std::string data = signed_.substr(0, gAt);
    const std::string gLines = signed_.substr(gAt);
    const std::size_t secondG = gLines.find("\r\nGValdorine ") + 2;

    struct Case {
        const char* name;
        std::string bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"digit.igc", replaceAll(signed_, "B1101555206380N", "B1101555206381N"),
         "signature mismatch"},
        {"truncated.igc", data + gLines.substr(0, secondG - 3) + "\r\n" + gLines.substr(secondG),
         "G record malformed"},
        {"letters.igc", replaceAll(signed_, "GValdorine ", "GValdorine X"), "G record malformed"},
        {"one-line.igc", data + gLines.substr(0, secondG), "G record malformed"},
        {"r-zero.igc", data + "GValdorine 00\r\n" + gLines.substr(secondG), "signature mismatch"},
        {"unsigned.igc", data, "no G record"},
        {"empty.igc", "", "no G record"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = check(c.name, c.bytes);
        EXPECT_EQ(outcome.status, 1) << c.name;
        EXPECT_EQ(outcome.output.rfind(std::string("Validation check failed: ") + c.reason, 0), 0u)
            << c.name << ": " << outcome.output;
    }
}

TEST_F(QvdVali, UnreadableFileAndWrongCommandLine) {
    const Outcome missing = runVali(dir_.path("missing.igc"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("Validation check failed: cannot read"), std::string::npos);

    FILE* pipe = ::popen((std::string(QR_QVD_VALI) + " 2>&1").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char chunk[256];
    while (std::fgets(chunk, sizeof chunk, pipe) != nullptr) {
    }
    const int raw = ::pclose(pipe);
    EXPECT_EQ(WEXITSTATUS(raw), 2);
}

}  // namespace
}  // namespace qr

#pragma once
// Independent readers of the IGC files the program writes: the npm package igc-parser,
// gpsbabel, and a G-record check with python3-cryptography. Tests only.
#include <string>

namespace qr::test {

struct OracleRun {
    bool available = false;  // the tool (and its package) is installed
    bool accepted = false;   // it read the file without a complaint
    std::string output;      // what it said (stdout and stderr)
};

// igc-parser in its strict mode, comments parsed too. On success the output is a JSON
// summary: fixes, pilot, gliderType, registration, callsign, competitionClass, site,
// geoDatum, date, security, comments.
OracleRun igcParserRead(const std::string& path);

// gpsbabel -i igc -f FILE -o gpx -F /dev/null: accepted when it ends well and says nothing.
OracleRun gpsbabelRead(const std::string& path);

// Checks the file's two closing "GValdorine " lines as a DSA signature under the public key
// over SHA-1 of the lines that are not G, "HO" or L records (an "L   Valdorine" line counts),
// each followed by LF. Output "OK <digest hex>" or the reason of the refusal.
OracleRun grecordVerify(const std::string& path, const std::string& publicKeyPem);

// CI=true: a missing oracle is a failure, not a skip.
bool oraclesRequired();

}  // namespace qr::test

// In a test body: skip with a visible message when the oracle is missing, fail in CI.
#define QR_REQUIRE_ORACLE(run, name)                                                       \
    do {                                                                                   \
        if (!(run).available) {                                                            \
            if (::qr::test::oraclesRequired())                                             \
                FAIL() << name << " is missing (CI): " << (run).output;                    \
            GTEST_SKIP() << name << " is missing, run scripts/lib/install-test-tools.sh: " \
                         << (run).output;                                                  \
        }                                                                                  \
    } while (0)

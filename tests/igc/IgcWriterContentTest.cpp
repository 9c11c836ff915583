#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "common/Text.h"
#include "igc/IgcFileName.h"
#include "igc/IgcWriterContent.h"
#include "igc/IgcWriterTestSupport.h"

namespace qr {
namespace {

using test::joinCrLf;
using test::loadMemory;
using test::requestFor;
using test::splitCrLf;

std::vector<std::string> linesStartingWith(const std::vector<std::string>& lines,
                                           std::string_view prefix) {
    std::vector<std::string> out;
    for (const auto& line : lines)
        if (startsWith(line, prefix)) out.push_back(line);
    return out;
}

TEST(IgcFileName, FromStartDatePilotIdAndFlightNumber) {
    const TDateTime nov5 = EncodeDate(2026, 11, 5) + 0.99;
    const struct {
        TDateTime start;
        const char* pilotId;
        int number;
        const char* name;
    } cases[] = {
        {nov5, "ABCD", 1, "6B5ABCD1.igc"},
        {nov5, "ABCD", 2, "6B5ABCD2.igc"},
        {nov5, "ABCD", 10, "6B5ABCDA.igc"},  // after 9 comes A
        {nov5, "ABCD", 31, "6B5ABCDV.igc"},
        {0.0, "ABCD", 1, "9CUABCD1.igc"},  // a track without fixes: 30 December 1899
        {EncodeDate(2029, 12, 31) + EncodeTime(23, 59, 59, 999), "aBcD", 1, "9CVaBcD1.igc"},
        {EncodeDate(2030, 1, 1), "wxyz", 3, "011wxyz3.igc"},
        {std::nan(""), "ABCD", 1, "9CUABCD1.igc"},
        {1e300, "ABCD", 1, "9CUABCD1.igc"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(igcShortFileName(c.start, c.pilotId, c.number), c.name) << c.name;
    for (int outside : {0, 32, -1, INT_MAX})
        EXPECT_THROW(flightNumberChar(outside), std::out_of_range) << outside;
}

TEST(IgcWriterContent, WholeFileOfATrackWithTheDialogsNames) {
    const auto memory = loadMemory();
    const IgcContent content = composeIgcContent(requestFor(memory, 0, false));
    EXPECT_EQ(content.bytes, joinCrLf({
                                 "AXVN 4711 USB FLIGHT 1",
                                 "HFDTE080726",
                                 "HFFXA035",
                                 "HFDTM100GPSDATUM:WGS-1984",
                                 "HFCIDCOMPETITIONID:A5",
                                 "HFCCLCOMPETITIONCLASS:Paraglider sport",
                                 "HFSITSITE:Hochries",
                                 "HFFTYFRTYPE:Quendarix,QX1",
                                 "HOPLTPILOT: Bruno Dialog",
                                 "HOGTYGLIDERTYPE: Beta 3",
                                 "HOGIDGLIDERID: BD-42",
                                 "B1015005206343N00006198WA0058700558",
                                 "B1015105206360N00006210WA0058800560",
                                 "B1015205206380N00006225WA0059000562",
                                 "LXVN   Qrtest",
                                 "LXVN   Sonntag 7/12/26  2:03:09 PM",
                             }));
    EXPECT_TRUE(content.needsSignature);
    EXPECT_EQ(content.trackStart, test::memoryTrackStarts()[0]);
}

TEST(IgcWriterContent, OptionalHeaderLinesFillWhatTheLoggerDidNotSupply) {
    const std::string plt = "HOPLTPILOT: Bruno Dialog", gty = "HOGTYGLIDERTYPE: Beta 3",
                      gid = "HOGIDGLIDERID: BD-42", cid = "HOCIDCOMPETITIONID: DHV-OLC-2009",
                      dtm = "HODTM100GPSDATUM: WGS-84",
                      ccl = "HOCCLCOMPETITION CLASS: Paraglider open",
                      sit = "HOSITSite: Wasserkuppe";
    const struct {
        int index;
        bool namesFromLogger;
        const char* dateRecord;  // the track's own line after its A line
        std::vector<std::string> optional;
    } cases[] = {
        {0, true, "HFDTE080726", {}},  // all seven supplied and kept
        {0, false, "HFDTE080726", {plt, gty, gid}},
        {1, true, "HFDTE080726", {plt, cid, dtm, ccl, sit}},
        {1, false, "HFDTE080726", {plt, gty, gid, cid, dtm, ccl, sit}},
        {2, true, "HFDTE090726", {cid, ccl, sit}},  // the third track
        {2, false, "HFDTE090726", {plt, gty, gid, cid, ccl, sit}},
    };
    const auto memory = loadMemory();
    for (const auto& c : cases) {
        SCOPED_TRACE("track " + std::to_string(c.index + 1) +
                     (c.namesFromLogger ? ", names from the logger" : ", names from the dialog"));
        const auto lines =
            splitCrLf(composeIgcContent(requestFor(memory, c.index, c.namesFromLogger)).bytes);
        ASSERT_GE(lines.size(), 3u);
        // Every file opens with the first track's A record, then the track's date record.
        EXPECT_EQ(lines[0], "AXVN 4711 USB FLIGHT 1");
        EXPECT_EQ(linesStartingWith(lines, "A").size(), 1u);
        EXPECT_EQ(lines[1], c.dateRecord);
        EXPECT_EQ(linesStartingWith(lines, "HO"), c.optional);

        // The optional lines stand right after the kept "HF" run, before the first fix.
        std::size_t firstHo = 0;
        while (firstHo < lines.size() && !startsWith(lines[firstHo], "HO")) ++firstHo;
        if (!c.optional.empty()) {
            EXPECT_TRUE(startsWith(lines[firstHo - 1], "HF"));
            EXPECT_TRUE(startsWith(lines[firstHo + c.optional.size()], "B"));
        }
        const bool loggerNames = !linesStartingWith(lines, "HFPLT").empty() ||
                                 !linesStartingWith(lines, "HFGTY").empty() ||
                                 !linesStartingWith(lines, "HFGID").empty();
        EXPECT_EQ(loggerNames, c.namesFromLogger);
        for (const auto& line : lines) EXPECT_FALSE(contains(line, "SendTrk")) << line;
    }
}

TEST(IgcWriterContent, TrackWithGLinesGetsAnLPairBeforeEachAndNoClosingLines) {
    const auto memory = loadMemory();
    for (bool namesFromLogger : {true, false}) {
        const IgcContent content = composeIgcContent(requestFor(memory, 2, namesFromLogger));
        EXPECT_FALSE(content.needsSignature);
        const auto lines = splitCrLf(content.bytes);
        ASSERT_GE(lines.size(), 8u);
        const std::vector<std::string> tail(lines.end() - 8, lines.end());
        EXPECT_EQ(tail, (std::vector<std::string>{
                            "B0900005206343N00006198WA0058700558",
                            "B0900105206360N00006210WA0058800560",
                            "LXVN   Qrtest",
                            "LXVN   Sunday 7/12/26  2:03:09 PM",
                            "GQVD7F3A9C21E4",
                            "LXVN   Qrtest",
                            "LXVN   Sunday 7/12/26  2:03:09 PM",
                            "GQVD00B1E45D",
                        }));
    }
}

TEST(IgcWriterContent, EmptyTrackStartsAtZeroAndCopiesWhatFollowsItsALine) {
    const auto memory = loadMemory();
    const IgcContent content = composeIgcContent(requestFor(memory, 3, true));
    EXPECT_EQ(content.trackStart, 0.0);
    EXPECT_TRUE(content.needsSignature);
    const auto lines = splitCrLf(content.bytes);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], "AXVN 4711 USB FLIGHT 5");  // the line after its A line, as it stands
}

// The copy never reads past the line count, whatever the buffer holds behind it.
TEST(IgcWriterContent, StopsAtTheLineCount) {
    auto memory = loadMemory();
    const int n = static_cast<int>(memory.size());
    memory.push_back("B2359595206343N00006198WA0058700558 beyond the line count");
    memory.push_back("GBEYOND");
    const std::vector<std::string> closing = {"LXVN   Qrtest",
                                              "LXVN   Sonntag 7/12/26  2:03:09 PM"};
    const std::vector<std::string> allOptional = {
        "HOPLTPILOT: Bruno Dialog", "HOGTYGLIDERTYPE: Beta 3",
        "HOGIDGLIDERID: BD-42",     "HOCIDCOMPETITIONID: DHV-OLC-2009",
        "HODTM100GPSDATUM: WGS-84", "HOCCLCOMPETITION CLASS: Paraglider open",
        "HOSITSite: Wasserkuppe"};
    const struct {
        const char* what;
        int index;
        int lineCount;
        std::vector<std::vector<std::string>> parts;  // the expected lines, in pieces
    } cases[] = {
        {"last line is a fix",
         4,
         n,
         {{"AXVN 4711 USB FLIGHT 1", "HFDTE100726"},
          allOptional,
          {"B1200005206343N00006198WA0058700558"},
          closing}},
        {"count beyond the buffer",
         4,
         n + 100,
         {{"AXVN 4711 USB FLIGHT 1", "HFDTE100726"},
          allOptional,
          {"B1200005206343N00006198WA0058700558",
           "B2359595206343N00006198WA0058700558 beyond the line count", "LXVN   Qrtest",
           "LXVN   Sunday 7/12/26  2:03:09 PM", "GBEYOND"}}},
        {"buffer ends inside the header run",
         0,
         5,
         {{"AXVN 4711 USB FLIGHT 1", "HFDTE080726", "HFFXA035", "HFPLTPILOTINCHARGE:Anna Logger"},
          {allOptional.begin() + 1, allOptional.end()},
          closing}},
        {"buffer ends after the date record",
         0,
         3,
         {{"AXVN 4711 USB FLIGHT 1", "HFDTE080726"}, allOptional, closing}},
        {"buffer ends at the A line", 0, 2, {{"AXVN 4711 USB FLIGHT 1"}, closing}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        IgcWriteRequest request = requestFor(memory, c.index, true);
        request.lineCount = c.lineCount;
        std::vector<std::string> expected;
        for (const auto& part : c.parts) expected.insert(expected.end(), part.begin(), part.end());
        EXPECT_EQ(splitCrLf(composeIgcContent(request).bytes), expected);
    }
}

TEST(IgcWriterContent, RefusesATrackThatIsNotThere) {
    const auto memory = loadMemory();
    const struct {
        int index;
        int lineCount;
        const char* message;
    } cases[] = {
        {-1, 37, "Es ist kein Track ausgewählt."},
        {5, 37, "Track 6 ist im gelesenen Speicher nicht vorhanden."},
        {INT_MAX, 37, "Track 2147483648 ist im gelesenen Speicher nicht vorhanden."},
        {2, 20, "Track 3 ist im gelesenen Speicher nicht vorhanden."},  // cut off by the count
        {0, 0, "Track 1 ist im gelesenen Speicher nicht vorhanden."},
        {0, -5, "Track 1 ist im gelesenen Speicher nicht vorhanden."},
    };
    for (const auto& c : cases) {
        IgcWriteRequest request = requestFor(memory, c.index, true);
        request.lineCount = c.lineCount;
        try {
            composeIgcContent(request);
            ADD_FAILURE() << "no refusal for track index " << c.index;
        } catch (const EIgcWriteError& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}

TEST(IgcWriterContent, TrackBeyondTheStartTableStartsAtZero) {
    const auto memory = loadMemory();
    IgcWriteRequest request = requestFor(memory, 4, true);
    request.trackStarts = std::span(test::memoryTrackStarts()).first(2);
    EXPECT_EQ(composeIgcContent(request).trackStart, 0.0);
}

TEST(IgcWriterContent, DefaultClockAndFormats) {
    const TDateTime moment = EncodeDate(2026, 7, 8) + EncodeTime(4, 5, 6, 700);
    EXPECT_EQ(defaultShortDate(moment), "08.07.2026");
    EXPECT_EQ(defaultLongTime(moment), "04:05:06");

    const auto memory = loadMemory();
    IgcWriteRequest request = requestFor(memory, 0, true);
    request.clock = nullptr;
    request.shortDate = nullptr;
    request.longTime = nullptr;
    const auto lines = splitCrLf(composeIgcContent(request).bytes);
    // "LXVN   Mittwoch 08.07.2026  04:05:06": a weekday, the date, two blanks, the time.
    ASSERT_FALSE(lines.empty());
    const std::string& dateLine = lines.back();
    EXPECT_TRUE(startsWith(dateLine, "LXVN   ")) << dateLine;
    const auto dateAt = dateLine.find(' ', 7) + 1;
    EXPECT_EQ(dateLine.substr(dateAt + 2, 1), ".") << dateLine;
    EXPECT_EQ(dateLine.substr(dateAt + 10, 2), "  ") << dateLine;
    EXPECT_EQ(dateLine.size(), dateAt + 20) << dateLine;
}

}  // namespace
}  // namespace qr

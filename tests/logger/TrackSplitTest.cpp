#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/DateTime.h"
#include "logger/TrackSelection.h"
#include "logger/TrackSplit.h"

namespace qr {
namespace {

using Lines = std::vector<std::string>;

Lines operator+(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string b(const std::string& hhmmss) {
    return "B" + hhmmss + "4807123N01131234EA0050000600";
}

// count B records: the first at time `from`, the last at `to`, the ones between at `from`.
Lines fixes(int count, const std::string& from, const std::string& to) {
    Lines out{b(from)};
    for (int i = 2; i < count; ++i) out.push_back(b(from));
    if (count > 1) out.push_back(b(to));
    return out;
}

std::string dateText(TDateTime value) {
    const CivilDate d = DecodeDate(value);
    char text[16];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", d.day, d.month, d.year);
    return text;
}

std::string timeText(TDateTime value) {
    const TimeOfDay t = DecodeTime(value);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return text;
}

const TrackTextFormat kFormat{dateText, timeText};

Lines texts(const TrackList& list) {
    Lines out;
    for (const auto& entry : list.entries) out.push_back(trackEntryText(entry, kFormat));
    return out;
}

const char* const kDateError = "Ungültiges Argument zum Codieren des Datums";
const char* const kTimeError = "Ungültiges Argument zum Codieren der Uhrzeit";
const char* const kEmpty = "leerer Track, abspeichern sinnlos!";

TEST(TrackSplit, FixturesGiveTheirEntries) {
    const Lines header{"AXVN 001", "HFDTE081226", "HFPLTPILOT:Someone"};
    const struct {
        const char* name;
        Lines lines;
        Lines entries;      // the list texts
        const char* error;  // the message that stopped the split, or nullptr
    } cases[] = {
        {"three A lines, the last one at the end of the buffer",
         header + fixes(100, "101500", "124510") + Lines{"AXVN 002"} +
             fixes(20, "130000", "131900") + Lines{"LXVNend", "AXVN 003"},
         {"Track 1 08.12.2026 10:15:00 - 12:45:10 UTC 100 Punkte",
          "Track 2 08.12.2026 13:00:00 - 13:19:00 UTC 20 Punkte"},
         nullptr},
        {"preamble before the first A record, even a garbled B line",
         Lines{"SendTrk", "Bxx", "Axyz"} + header + fixes(2, "090000", "091000"),
         {"Track 1 08.12.2026 09:00:00 - 09:10:00 UTC 2 Punkte"},
         nullptr},
        {"two A lines in a row",
         Lines{"AXVN 001", "AXVN 002", "HFDTE010127"} + fixes(1, "080000", ""),
         {kEmpty, "Track 2 01.01.2027 08:00:00 - 08:00:00 UTC 1 Punkte"},
         nullptr},
        {"the last buffer line is a B record",
         header + fixes(3, "100000", "110000") + Lines{"GABC"} + fixes(1, "235959", ""),
         {"Track 1 08.12.2026 10:00:00 - 23:59:59 UTC 4 Punkte"},
         nullptr},
        {"date carries over; a later HFDTE counts from its line on",
         header + fixes(1, "100000", "") + Lines{"AXVN 002"} + fixes(1, "110000", "") +
             Lines{"AXVN 003", "HFDTE090127"} + fixes(1, "120000", ""),
         {"Track 1 08.12.2026 10:00:00 - 10:00:00 UTC 1 Punkte",
          "Track 2 08.12.2026 11:00:00 - 11:00:00 UTC 1 Punkte",
          "Track 3 09.01.2027 12:00:00 - 12:00:00 UTC 1 Punkte"},
         nullptr},
        {"long date form",
         Lines{"AXVN 001", "HFDTEDATE:081226,01"} + fixes(1, "101500", ""),
         {"Track 1 08.12.2026 10:15:00 - 10:15:00 UTC 1 Punkte"},
         nullptr},
        {"seconds 60 stop the split, earlier tracks stay",
         header + fixes(2, "100000", "100100") + Lines{"AXVN 002", b("100060"), b("100100")},
         {"Track 1 08.12.2026 10:00:00 - 10:01:00 UTC 2 Punkte"},
         kTimeError},
        {"an impossible date in the second track",
         header + fixes(1, "100000", "") + Lines{"AXVN 002", "HFDTE300226"},
         {"Track 1 08.12.2026 10:00:00 - 10:00:00 UTC 1 Punkte"},
         kDateError},
        {"a date field that is no number",
         Lines{"AXVN 001", "HFDTE08y226"},
         {},
         "'y2' ist kein gültiger Integerwert"},
        {"no A record at all", Lines{"SendTrk"} + fixes(3, "100000", "110000"), {}, nullptr},
        {"a single A line", Lines{"AXVN 001"}, {}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TrackList list = splitTracks(c.lines, c.lines.size());
        EXPECT_EQ(texts(list), c.entries);
        if (c.error) {
            ASSERT_TRUE(list.error.has_value());
            EXPECT_STREQ(list.error->what(), c.error);
        } else {
            EXPECT_FALSE(list.error.has_value()) << list.error->what();
        }
        const auto table = list.startTable();
        ASSERT_EQ(table.size(), list.entries.size());
        for (std::size_t i = 0; i < table.size(); ++i) {
            EXPECT_EQ(list.entries[i].track, static_cast<int>(i) + 1);
            EXPECT_EQ(table[i], list.entries[i].first);
            if (list.entries[i].empty()) {
                EXPECT_EQ(table[i], 0.0);
            }
        }
    }
}

TEST(TrackSplit, StartTableHoldsDateAndTimeOfTheFirstFix) {
    const Lines lines = Lines{"AXVN 001", "HFDTE081226"} + fixes(100, "101500", "124510") +
                        Lines{"AXVN 002"} + fixes(20, "130000", "131900") + Lines{"AXVN 003"};
    const TrackList list = splitTracks(lines, lines.size());
    const TDateTime day = EncodeDate(2026, 12, 8);
    const std::vector<TDateTime> table{day + EncodeTime(10, 15, 0, 0),
                                       day + EncodeTime(13, 0, 0, 0)};
    EXPECT_EQ(list.startTable(), table);
    EXPECT_EQ(list.entries[0].last, day + EncodeTime(12, 45, 10, 0));
    EXPECT_EQ(list.entries[0].fixes, 100);
    EXPECT_EQ(list.entries[1].fixes, 20);
    EXPECT_EQ(list.firstARecord, "AXVN 001");
    EXPECT_FALSE(list.usb);
}

TEST(TrackSplit, FirstARecordAndUsbFlag) {
    const Lines lines{"Apreamble USB", "AXVN USB 2.0", "HFDTE081226", b("100000"), "AXVN 002"};
    const TrackList list = splitTracks(lines, lines.size());
    EXPECT_EQ(list.firstARecord, "AXVN USB 2.0");
    EXPECT_TRUE(list.usb);
    EXPECT_FALSE(splitTracks({"AXVN 001", "B"}, 1).usb);
}

TEST(TrackSplit, ReadsNoLineBeyondTheCount) {
    // Older downloads leave their lines behind the count; a garbled one must not be read.
    const Lines lines{"AXVN 001", "HFDTE081226", b("100000"), b("110000"), "Bgarbled"};
    const TrackList list = splitTracks(lines, 4);
    EXPECT_EQ(texts(list), Lines{"Track 1 08.12.2026 10:00:00 - 11:00:00 UTC 2 Punkte"});
    EXPECT_FALSE(list.error.has_value());
    // A count beyond the buffer is cut to it.
    EXPECT_EQ(splitTracks({"AXVN 001", b("100000")}, 33000).entries.size(), 1u);
    EXPECT_TRUE(splitTracks({}, 0).entries.empty());
}

TEST(TrackSplit, ListsEveryTrackOfALongMemory) {
    Lines lines{"AXVN 000", "HFDTE081226"};
    for (int t = 1; t <= 250; ++t) lines.push_back(b("100000")), lines.push_back("AXVN");
    lines.push_back(b("120000"));
    const TrackList list = splitTracks(lines, lines.size());
    ASSERT_EQ(list.entries.size(), 251u);
    EXPECT_EQ(list.startTable().size(), 251u);
    EXPECT_EQ(list.entries.back().track, 251);
    EXPECT_EQ(list.startTable().back(), EncodeDate(2026, 12, 8) + EncodeTime(12, 0, 0, 0));
}

TEST(TrackSplit, DateRecords) {
    const TDateTime day = EncodeDate(2026, 12, 8);
    const struct {
        const char* record;
        TDateTime date;     // when error is nullptr
        const char* error;  // the message, or nullptr
    } cases[] = {
        {"HFDTE081226", day, nullptr},
        {"HFDTEDATE:081226,01", day, nullptr},
        {"HFDTEdate:081226", day, nullptr},
        {"HFDTEDATE: 081226,01", day, nullptr},
        {"HFDTE0812", EncodeDate(20, 12, 8), nullptr},  // fixed places: year "20" and nothing
        {"HFDTE290224", EncodeDate(2024, 2, 29), nullptr},
        {"HFDTE320126", 0, kDateError},
        {"HFDTE081326", 0, kDateError},
        {"HFDTE290223", 0, kDateError},
        {"HFDTE000126", 0, kDateError},
        {"HFDTE", 0, "'' ist kein gültiger Integerwert"},
        {"HFDTE08", 0, "'' ist kein gültiger Integerwert"},
        {"HFDTEDATE:", 0, "'' ist kein gültiger Integerwert"},
        {"HFDTEab1226", 0, "'ab' ist kein gültiger Integerwert"},
        {"HFDTE08122x", 0, "'202x' ist kein gültiger Integerwert"},
        {"HFDTE:081226", 0, "':0' ist kein gültiger Integerwert"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record);
        if (!c.error) {
            EXPECT_EQ(hfdteDate(c.record), c.date);
            continue;
        }
        try {
            hfdteDate(c.record);
            ADD_FAILURE() << "no error";
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), c.error);
        }
    }
}

TEST(TrackSplit, FixTimes) {
    const struct {
        const char* record;
        int hour, minute, second;  // when error is nullptr
        const char* error;
    } cases[] = {
        {"B1015004807123N", 10, 15, 0, nullptr},
        {"B000000", 0, 0, 0, nullptr},
        {"B235959", 23, 59, 59, nullptr},
        {"B240000", 0, 0, 0, kTimeError},
        {"B106000", 0, 0, 0, kTimeError},
        {"B101560", 0, 0, 0, kTimeError},
        {"B1015", 0, 0, 0, "'' ist kein gültiger Integerwert"},
        {"B1x1500", 0, 0, 0, "'1x' ist kein gültiger Integerwert"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record);
        if (!c.error) {
            EXPECT_EQ(bRecordTime(c.record), EncodeTime(c.hour, c.minute, c.second, 0));
            continue;
        }
        try {
            bRecordTime(c.record);
            ADD_FAILURE() << "no error";
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), c.error);
        }
    }
}

TEST(TrackSplit, EntryTextUsesTheCallersFormatsAndWords) {
    const TDateTime day = EncodeDate(2026, 12, 8);
    const TrackEntry entry{3, 7, day + EncodeTime(9, 5, 1, 0), day + EncodeTime(10, 0, 0, 0)};
    TrackTextFormat format{[](TDateTime) { return std::string("D"); },
                           [](TDateTime v) { return timeText(v); }};
    format.track = "Flug";
    format.points = "Fixe";
    format.emptyTrack = "leer";
    EXPECT_EQ(trackEntryText(entry, format), "Flug 3 D 09:05:01 - 10:00:00 UTC 7 Fixe");
    EXPECT_EQ(trackEntryText(TrackEntry{4, 0, 0, day}, format), "leer!");
}

TEST(TrackSelection, ChosenStartAndLines) {
    const Lines buffer{"AXVN 001", "HFDTE081226", "stale"};
    const TrackSelection selection{&buffer, 2, "AXVN 001", {1.5, 2.5}, 1, false};
    EXPECT_EQ(selection.line(2), "HFDTE081226");
    EXPECT_EQ(selection.chosenStart(), 2.5);
    EXPECT_EQ((TrackSelection{&buffer, 2, "", {1.5}, 1, true}.chosenStart()), 0.0);
    EXPECT_EQ((TrackSelection{&buffer, 2, "", {1.5}, -1, true}.chosenStart()), 0.0);
}

}  // namespace
}  // namespace qr

#include <gtest/gtest.h>

#include <chrono>

#include "common/DateTime.h"
#include "common/DayNames.h"
#include "common/Delay.h"
#include "common/Errors.h"
#include "common/FileErrors.h"
#include "common/NumberConversion.h"

namespace qr {
namespace {

TEST(DayNames, AllSevenDays) {
    // 6 December 2026 is a Sunday.
    const char* english[] = {"Sunday ",   "Monday ", "Tuesday ", "Wednesday ",
                             "Thursday ", "Friday ", "Saturday "};
    const char* german[] = {"Sonntag ",    "Montag ",  "Dienstag ", "Mittwoch ",
                            "Donnerstag ", "Freitag ", "Samstag "};
    for (int i = 0; i < 7; ++i) {
        const TDateTime day = EncodeDate(2026, 12, 6 + i) + 0.75;
        EXPECT_EQ(DayOfWeek(day), i + 1);
        EXPECT_EQ(EnglishDayName(day), english[i]);
        EXPECT_EQ(GermanDayName(day), german[i]);
    }
    EXPECT_EQ(EnglishDayName(0.0), "Saturday ");  // 30 December 1899
}

TEST(NumberConversion, AcceptsAndRefuses) {
    const struct {
        const char* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"0", 0},
        {"00000100", 100},
        {"   42", 42},
        {"+7", 7},
        {"-12", -12},
        {" -0", 0},
        {"$1F", 31},
        {"x1f", 31},
        {"X10", 16},
        {"0x7FFFFFFF", 2147483647},
        {"0X10", 16},
        {"-$10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483648LL},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"0x80000000", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"12 ", std::nullopt},
        {"1234 kB", std::nullopt},
        {"12a", std::nullopt},
        {"1.5", std::nullopt},
        {"\t5", std::nullopt},
        {"+-5", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(tryStrToInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(NumberConversion, ErrorNamesTheText) {
    try {
        StrToInt("0815 kB");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'0815 kB' ist kein gültiger Integerwert");
    }
    // Bytes of the logger that are not ASCII reach the message as characters.
    try {
        StrToInt("\xE4");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'ä' ist kein gültiger Integerwert");
    }
}

TEST(DateTime, EncodesDaysSince1899) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(EncodeDate(2026, 12, 8), 46364.0);
    EXPECT_DOUBLE_EQ(EncodeTime(12, 0, 0, 0), 0.5);
    EXPECT_DOUBLE_EQ(EncodeTime(10, 15, 0, 0), (10 * 3600 + 15 * 60) / 86400.0);
    EXPECT_EQ(EncodeDate(2024, 2, 29), EncodeDate(2024, 3, 1) - 1);

    const TDateTime value = EncodeDate(2026, 12, 8) + EncodeTime(12, 45, 10, 0);
    const CivilDate date = DecodeDate(value);
    EXPECT_EQ(date.year, 2026);
    EXPECT_EQ(date.month, 12);
    EXPECT_EQ(date.day, 8);
    const TimeOfDay time = DecodeTime(value);
    EXPECT_EQ(time.hour, 12);
    EXPECT_EQ(time.minute, 45);
    EXPECT_EQ(time.second, 10);
}

TEST(DateTime, RefusesWhatDoesNotExist) {
    const int badDates[][3] = {{2026, 1, 32}, {2026, 13, 1}, {2026, 2, 30}, {2025, 2, 29},
                               {2026, 0, 1},  {2026, 1, 0},  {0, 1, 1},     {10000, 1, 1}};
    for (const auto& d : badDates) {
        try {
            EncodeDate(d[0], d[1], d[2]);
            ADD_FAILURE() << d[0] << "-" << d[1] << "-" << d[2];
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), "Ungültiges Argument zum Codieren des Datums");
        }
    }
    const int badTimes[][4] = {
        {24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}, {-1, 0, 0, 0}};
    for (const auto& t : badTimes) {
        try {
            EncodeTime(t[0], t[1], t[2], t[3]);
            ADD_FAILURE() << t[0] << ":" << t[1] << ":" << t[2];
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), "Ungültiges Argument zum Codieren der Uhrzeit");
        }
    }
}

TEST(Delay, PausesAtLeastTheGivenTime) {
    using clock = std::chrono::steady_clock;
    for (int ms : {0, 1, 30}) {
        const auto start = clock::now();
        Delay(ms);
        EXPECT_GE(clock::now() - start, std::chrono::milliseconds(ms));
    }
}

TEST(FileErrors, MapErrnoToTheFileLayersTexts) {
    EXPECT_EQ(fileLayerText(fileLayerCode(EACCES)), "Dateizugriff verweigert");
    EXPECT_EQ(fileLayerText(fileLayerCode(EROFS)), "Dateizugriff verweigert");
    EXPECT_EQ(fileLayerText(fileLayerCode(ENOENT)), "Datei nicht gefunden");
    EXPECT_EQ(fileLayerText(fileLayerCode(ENOTDIR)), "Ungültiger Dateiname");
    EXPECT_EQ(fileLayerText(fileLayerCode(EMFILE)), "Zu viele geöffnete Dateien");
    EXPECT_EQ(fileLayerText(fileLayerCode(ENOSPC)), "Zu wenig Speicherplatz");
    EXPECT_EQ(fileLayerText(100), "Versuch hinter dem Dateiende zu lesen");
    EXPECT_EQ(fileLayerText(106), "Ungültige numerische Eingabe");
    EXPECT_EQ(fileErrorText(EIO), "E/A-Fehler " + std::to_string(EIO));
    EXPECT_EQ(fileErrorText(ENOSPC), "Zu wenig Speicherplatz");
    try {
        throwFileError(EACCES);
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.code(), 5);
    }
}

}  // namespace
}  // namespace qr

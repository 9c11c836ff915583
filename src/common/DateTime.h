#pragma once
// Date-times as the program keeps them: days since 30 December 1899, the time of day
// as the fraction. Local time without a time zone; times from the logger are UTC.
#include <cstdint>

namespace qr {

using TDateTime = double;

struct CivilDate {
    int year = 1899;
    int month = 12;
    int day = 30;
};

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Throw EConvertError "Ungültiges Argument zum Codieren des Datums" / "... der Uhrzeit"
// for a date or time that does not exist (year 1 to 9999).
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int millisecond);

bool isValidDate(int year, int month, int day);
CivilDate DecodeDate(TDateTime value);
TimeOfDay DecodeTime(TDateTime value);

// 1 for Sunday to 7 for Saturday.
int DayOfWeek(TDateTime value);

// The local date and time now.
TDateTime Now();

// Days since 1899-12-30 for a civil date (no range check).
std::int64_t daysFromCivil(int year, int month, int day);

}  // namespace qr

#include "common/DateTime.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

#include "common/Errors.h"

namespace qr {

namespace {

constexpr std::int64_t kDaysFrom1899To1970 = 25569;
constexpr double kMillisecondsPerDay = 86400000.0;

bool isLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : kDays[month - 1];
}

// Days since 1970-01-01 (proleptic Gregorian calendar).
std::int64_t daysSince1970(int y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate civilFrom1970(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400 + (m <= 2)), m, d};
}

}  // namespace

bool isValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month);
}

std::int64_t daysFromCivil(int year, int month, int day) {
    return daysSince1970(year, month, day) + kDaysFrom1899To1970;
}

TDateTime EncodeDate(int year, int month, int day) {
    if (!isValidDate(year, month, day))
        throw EConvertError("Ungültiges Argument zum Codieren des Datums");
    return static_cast<TDateTime>(daysFromCivil(year, month, day));
}

TDateTime EncodeTime(int hour, int minute, int second, int millisecond) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        millisecond < 0 || millisecond > 999)
        throw EConvertError("Ungültiges Argument zum Codieren der Uhrzeit");
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / kMillisecondsPerDay;
}

CivilDate DecodeDate(TDateTime value) {
    // The date part of a value counts whole days; the fraction is the time of day.
    const auto days = static_cast<std::int64_t>(std::trunc(value));
    return civilFrom1970(days - kDaysFrom1899To1970);
}

TimeOfDay DecodeTime(TDateTime value) {
    const double fraction = std::fabs(value - std::trunc(value));
    auto ms = static_cast<std::int64_t>(std::llround(fraction * kMillisecondsPerDay));
    if (ms >= 86400000) ms = 86399999;
    TimeOfDay t;
    t.millisecond = static_cast<int>(ms % 1000);
    ms /= 1000;
    t.second = static_cast<int>(ms % 60);
    ms /= 60;
    t.minute = static_cast<int>(ms % 60);
    t.hour = static_cast<int>(ms / 60);
    return t;
}

int DayOfWeek(TDateTime value) {
    const auto days = static_cast<std::int64_t>(std::trunc(value)) - kDaysFrom1899To1970;
    // 1970-01-01 was a Thursday (5 when Sunday is 1).
    return static_cast<int>(((days + 4) % 7 + 7) % 7) + 1;
}

TDateTime Now() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const int ms =
        static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return static_cast<TDateTime>(
               daysFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday)) +
           EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), ms);
}

}  // namespace qr

#include "common/DayNames.h"

namespace qr {

std::string EnglishDayName(TDateTime date) {
    static constexpr const char* kNames[] = {"Sunday ",   "Monday ", "Tuesday ", "Wednesday ",
                                             "Thursday ", "Friday ", "Saturday "};
    return kNames[DayOfWeek(date) - 1];
}

std::string GermanDayName(TDateTime date) {
    static constexpr const char* kNames[] = {"Sonntag ",    "Montag ",  "Dienstag ", "Mittwoch ",
                                             "Donnerstag ", "Freitag ", "Samstag "};
    return kNames[DayOfWeek(date) - 1];
}

}  // namespace qr

#pragma once
#include <string>

#include "common/DateTime.h"

namespace qr {

// "Sunday " ... "Saturday " (with the trailing blank) for the date's weekday.
std::string EnglishDayName(TDateTime date);

// "Sonntag " ... "Samstag " (with the trailing blank), Latin-1 free: all ASCII.
std::string GermanDayName(TDateTime date);

}  // namespace qr

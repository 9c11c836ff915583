#include "igc/IgcFileName.h"

#include <cmath>
#include <stdexcept>

namespace qr {

namespace {

// Keeps DecodeDate to the days it can count; the writer never gets such a start from the
// track list, but a name must never come from an undefined conversion.
TDateTime usableDate(TDateTime value) {
    return std::isfinite(value) && std::fabs(value) < 3.0e6 ? value : 0.0;
}

}  // namespace

char flightNumberChar(int number) {
    if (number < 1 || number > kMaxFlightNumber)
        throw std::out_of_range("flight number " + std::to_string(number) + " outside 1 to 31");
    return kFlightNumberAlphabet[static_cast<std::size_t>(number - 1)];
}

std::string igcNamePrefix(TDateTime trackStart, std::string_view pilotId) {
    const CivilDate date = DecodeDate(usableDate(trackStart));
    std::string prefix;
    prefix += static_cast<char>('0' + (date.year % 10 + 10) % 10);
    prefix += flightNumberChar(date.month);
    prefix += flightNumberChar(date.day);
    prefix += pilotId;
    return prefix;
}

std::string igcShortFileName(TDateTime trackStart, std::string_view pilotId, int flightNumber) {
    return igcNamePrefix(trackStart, pilotId) + flightNumberChar(flightNumber) + ".igc";
}

}  // namespace qr

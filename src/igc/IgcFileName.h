#pragma once
// The IGC short file name: year digit, month, day, pilot ID, flight number, ".igc".
#include <string>
#include <string_view>

#include "common/DateTime.h"

namespace qr {

// The m-th character stands for the number m (1 to 31): month, day and flight number.
inline constexpr std::string_view kFlightNumberAlphabet = "123456789ABCDEFGHIJKLMNOPQRSTUV";
inline constexpr int kMaxFlightNumber = static_cast<int>(kFlightNumberAlphabet.size());

// The character for a number from 1 to 31; throws std::out_of_range for any other.
char flightNumberChar(int number);

// Everything in front of the flight number: the last digit of the start year, the month and
// the day (only the date part of the start counts), then the pilot ID as it was typed.
// A start that is no finite date-time counts as 0, 30 December 1899.
std::string igcNamePrefix(TDateTime trackStart, std::string_view pilotId);

// The whole name, e.g. "6B5ABCD1.igc" for 5 November 2026, pilot ID ABCD, flight 1.
std::string igcShortFileName(TDateTime trackStart, std::string_view pilotId, int flightNumber);

}  // namespace qr

#pragma once
// The track list in the user's regional formats: short date and long time (hours, minutes,
// seconds; the fix times are UTC, so a zone name would mislead).
#include <QString>
#include <string>

#include "common/DateTime.h"
#include "logger/TrackSplit.h"

namespace qr {

// A time format without its time-zone fields ("HH:mm:ss t" gives "HH:mm:ss").
QString withoutTimeZone(const QString& timeFormat);

std::string regionalShortDate(TDateTime value);
std::string regionalLongTime(TDateTime value);

// Regional formats and the list's words, translated for the given language.
TrackTextFormat regionalTrackTextFormat(const std::string& languageName);

}  // namespace qr

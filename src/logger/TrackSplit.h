#pragma once
// Splitting a downloaded track memory into flights. The memory is the line buffer of the
// last download: each flight opens with a line that begins with "AXVN" and runs up to the
// next such line or to the last line of the buffer.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/DateTime.h"
#include "common/Errors.h"

namespace qr {

// One flight of the memory as the track list shows it.
struct TrackEntry {
    int track = 0;        // 1, 2, 3 ... in buffer order
    int fixes = 0;        // number of B records
    TDateTime first = 0;  // date in effect plus time of the first B record; 0 without one
    TDateTime last = 0;   // date plus time of the last B record seen at the closing line
    bool empty() const { return fixes == 0; }
};

struct TrackList {
    std::string firstARecord;  // the first "AXVN" line (see splitTracks)
    bool usb = false;          // the first A record contains "USB"
    std::vector<TrackEntry> entries;
    // Set when a date or time field stopped the split; entries holds the tracks closed
    // before it.
    std::optional<EConvertError> error;

    // Start of each track: element i belongs to track i + 1 (0 for a track without fixes).
    std::vector<TDateTime> startTable() const;
};

// Splits lines 1 to lineCount of the buffer (lines[0] is line 1; a count beyond the
// buffer is cut to its size). Lines before the first "AXVN" line belong to no track.
// Dates ("HFDTE") and fix times (B records) carry over from one track to the next.
// Never throws EConvertError: a field that is not a number or a date or time that does not
// exist ends the split and is kept in TrackList::error.
TrackList splitTracks(const std::vector<std::string>& lines, std::size_t lineCount);

// The date of an "HFDTE" record: DDMMYY right after "HFDTE", or after "HFDTEDATE:" (any
// case) in the long form, year 2000 + YY. Each field is read from its fixed place with the
// number conversion, so a short record fails on its (possibly empty) field.
// Throws EConvertError for a field that is not a number or a date that does not exist.
TDateTime hfdteDate(std::string_view record);

// The UTC time of a B record: HHMMSS from its second character on.
// Throws EConvertError for a field that is not a number or a time that does not exist.
TDateTime bRecordTime(std::string_view record);

// How an entry is written out: the regional short date and long time of the caller, and
// the words of the list (translated by the caller when a language is chosen).
struct TrackTextFormat {
    std::function<std::string(TDateTime)> shortDate;
    std::function<std::string(TDateTime)> longTime;
    std::string track = "Track";
    std::string points = "Punkte";
    std::string emptyTrack = "leerer Track, abspeichern sinnlos";
};

// "Track 1 08.12.26 10:15:00 - 12:45:10 UTC 100 Punkte", or the empty-track text with "!".
std::string trackEntryText(const TrackEntry& entry, const TrackTextFormat& format);

}  // namespace qr

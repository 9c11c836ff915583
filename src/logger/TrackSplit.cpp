#include "logger/TrackSplit.h"

#include <algorithm>

#include "common/NumberConversion.h"
#include "common/Text.h"

namespace qr {

namespace {

// Up to count characters from the 1-based position pos; empty when pos lies beyond the end.
std::string_view field(std::string_view text, std::size_t pos, std::size_t count) {
    if (pos > text.size()) return {};
    return text.substr(pos - 1, count);
}

bool equalsIgnoringCase(std::string_view text, std::string_view upper) {
    return text.size() == upper.size() && asciiUpper(text) == upper;
}

}  // namespace

TDateTime hfdteDate(std::string_view record) {
    std::size_t pos = 6;  // just after "HFDTE"
    if (equalsIgnoringCase(field(record, pos, 5), "DATE:")) {
        pos += 5;
        while (pos <= record.size() && record[pos - 1] == ' ') ++pos;
    }
    const int day = StrToInt(field(record, pos, 2));
    const int month = StrToInt(field(record, pos + 2, 2));
    const int year = StrToInt("20" + std::string(field(record, pos + 4, 2)));
    return EncodeDate(year, month, day);
}

TDateTime bRecordTime(std::string_view record) {
    const int hour = StrToInt(field(record, 2, 2));
    const int minute = StrToInt(field(record, 4, 2));
    const int second = StrToInt(field(record, 6, 2));
    return EncodeTime(hour, minute, second, 0);
}

std::vector<TDateTime> TrackList::startTable() const {
    std::vector<TDateTime> table;
    table.reserve(entries.size());
    for (const auto& entry : entries) table.push_back(entry.first);
    return table;
}

TrackList splitTracks(const std::vector<std::string>& lines, std::size_t lineCount) {
    TrackList list;
    const std::size_t count = std::min(lineCount, lines.size());

    // Up to and including the first "AXVN" line; the last A line walked is the first A record.
    std::size_t aLine = 0;
    for (std::size_t j = 1; j <= count; ++j) {
        const std::string& line = lines[j - 1];
        if (startsWith(line, "A")) list.firstARecord = line;
        if (startsWith(line, "AXVN")) {
            aLine = j;
            break;
        }
    }
    list.usb = contains(list.firstARecord, "USB");
    if (aLine == 0) return list;

    TDateTime date = 0;
    TDateTime time = 0;
    TDateTime first = 0;
    int fixes = 0;
    try {
        for (std::size_t j = aLine + 1; j <= count; ++j) {
            const std::string& line = lines[j - 1];
            if (startsWith(line, "HFDTE")) date = hfdteDate(line);
            if (startsWith(line, "B")) {
                time = bRecordTime(line);
                if (++fixes == 1) first = date + time;
            }
            if (startsWith(line, "AXVN") || j == count) {
                list.entries.push_back(
                    {static_cast<int>(list.entries.size()) + 1, fixes, first, date + time});
                fixes = 0;
                first = 0;
            }
        }
    } catch (const EConvertError& error) {
        list.error = error;
    }
    return list;
}

std::string trackEntryText(const TrackEntry& entry, const TrackTextFormat& format) {
    if (entry.empty()) return format.emptyTrack + "!";
    return format.track + " " + std::to_string(entry.track) + " " + format.shortDate(entry.first) +
           " " + format.longTime(entry.first) + " - " + format.longTime(entry.last) + " UTC " +
           std::to_string(entry.fixes) + " " + format.points;
}

}  // namespace qr

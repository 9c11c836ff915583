#include "cli/FlightTable.h"

#include <cstdio>

namespace qr::cli {

std::string isoDate(TDateTime value) {
    if (value == 0) return {};
    const CivilDate d = DecodeDate(value);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.year, d.month, d.day);
    return text;
}

std::string timeText(TDateTime value) {
    if (value == 0) return {};
    const TimeOfDay t = DecodeTime(value);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return text;
}

std::vector<FlightColumn> standardFlightColumns() {
    return {
        {"Nr", [](const TrackEntry& e) { return std::to_string(e.track); }},
        {"Datum", [](const TrackEntry& e) { return isoDate(e.first); }},
        {"Erster Fix (UTC)", [](const TrackEntry& e) { return timeText(e.first); }},
        {"Letzter Fix (UTC)",
         [](const TrackEntry& e) { return e.empty() ? "" : timeText(e.last); }},
        {"Fixes", [](const TrackEntry& e) { return std::to_string(e.fixes); }},
    };
}

TableRows flightTable(const TrackList& tracks, const std::vector<FlightColumn>& columns) {
    TableRows rows(1);
    for (const FlightColumn& c : columns) rows[0].push_back(c.header);
    for (const TrackEntry& entry : tracks.entries) {
        std::vector<std::string>& row = rows.emplace_back();
        for (const FlightColumn& c : columns) row.push_back(c.cell(entry));
    }
    return rows;
}

}  // namespace qr::cli

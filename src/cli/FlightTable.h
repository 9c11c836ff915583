#pragma once
// The flight list of a download as a table: one row per track. Each column is a header and a
// function of the entry, so further columns (flight facts, scores) are added to the list.
#include <functional>
#include <string>
#include <vector>

#include "cli/TextTable.h"
#include "logger/TrackSplit.h"

namespace qr::cli {

struct FlightColumn {
    std::string header;
    std::function<std::string(const TrackEntry&)> cell;
};

// "2024-06-12" and "11:02:05" of a date-time; "" for 0 (a track without fixes).
std::string isoDate(TDateTime value);
std::string timeText(TDateTime value);

// Nr, Datum, Erster Fix (UTC), Letzter Fix (UTC), Fixes.
std::vector<FlightColumn> standardFlightColumns();

TableRows flightTable(const TrackList& tracks, const std::vector<FlightColumn>& columns);

}  // namespace qr::cli

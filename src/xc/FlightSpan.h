#pragma once
// Where a track log is a flight: from the launch to the landing, so that a ground run,
// a walk or a hike up before the launch and whatever follows the landing do not count.
#include <span>
#include <vector>

#include "flight/Fix.h"

namespace qr::xc {

// Indices into the fixes, both ends included.
struct FlightSpan {
    int launch = 0, landing = 0;
    int landingValid = 0;  // the landing's place among the 3D fixes
};

// The flights of a log, in order. A fix is in the air when, over the minute around it, the
// speed along the track is at least 12 km/h or the vertical speed at least 1.5 m/s up or
// 2.5 m/s down (a walker or hiker makes neither). The air time runs from the first such fix
// to the last one before a stretch of at least five minutes on the ground, and a minute more
// on either side (the launch run, the landing approach); shorter pauses (a fix gap,
// a slow minute in a strong wind) stay in the flight. Air times under a minute are no flights.
// Only 3D fixes ("A") are looked at; the spans index the whole fix list.
std::vector<FlightSpan> flightsOf(std::span<const flight::Fix> fixes);

}  // namespace qr::xc

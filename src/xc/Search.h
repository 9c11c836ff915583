#pragma once
// The branch-and-bound search for the flight shape of a track that scores the most points
// (rounded as the league rounds them) under a league's rules. It branches over index ranges of the
// turnpoints (nodes of the track's box hierarchy), always expanding the range triple with the
// highest upper bound, and stops when no remaining triple can beat the best solution found, or at
// the deadline.
#include <chrono>
#include <cmath>
#include <optional>
#include <vector>

#include "xc/Rules.h"
#include "xc/Track.h"

namespace qr::xc {

// Distances and points are rounded to hundredths, in this order: each leg and the closing
// distance; the legs summed; the shape's conditions checked on the rounded figures; the
// subtracted closing distance; the multiplier; the points.
inline double roundHundredths(double value) {
    return std::floor(value * 100 + 0.5) / 100;
}
constexpr double kRoundUp = 0.005;  // km: the most that rounding adds to a distance

struct Solution {
    const FlightType* type = nullptr;  // nullptr: nothing scored (fewer than two fixes)
    double points = 0;
    double value = 0;                     // the unrounded score the search ranks by
    double distanceKm = 0;                // what the multiplier applies to
    double penaltyKm = 0;                 // the closing distance subtracted
    std::vector<int> turnpoints;          // track indices, in order
    std::vector<double> legsKm;           // rounded; free flight: start, turnpoints, finish
    int start = -1, finish = -1;          // free flight: where the distance begins and ends
    int closingIn = -1, closingOut = -1;  // triangles: the closing pair
    double closingKm = 0;                 // rounded
};

struct SearchOutcome {
    Solution best;
    bool optimal = false;
    long expanded = 0;  // range triples expanded, for the benchmarks
};

// Throws std::invalid_argument for rules with more than eight kinds of triangle.
SearchOutcome search(const Track& track, const Rules& rules,
                     std::optional<std::chrono::steady_clock::time_point> deadline);

}  // namespace qr::xc

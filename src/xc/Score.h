#pragma once
// The cross-country score of a flight: the entry points for the command line, the track
// list and the scoring tool.
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "flight/Fix.h"
#include "xc/Rules.h"

namespace qr::xc {

struct ScoreOptions {
    std::optional<double> maxTimeSeconds;  // then the best found, maybe not proven optimal
    // Score only the flights found in the log (the best of them); false: the whole log,
    // ground and all. A log of less than a minute is always scored whole.
    bool detectFlight = true;
};

struct ScoredFix {
    int index = 0;  // into the fixes scored
    double latitude = 0, longitude = 0;
    int time = 0;  // as Fix::time
};

struct ScoreResult {
    std::string rules;       // "XContest"
    std::string type;        // the league's name of the shape, "" when nothing was scored
    std::string code;        // "od", "tri", "fai"
    std::string germanType;  // "FAI-Dreieck (geschlossen)"
    double multiplier = 0;
    double distanceKm = 0;  // rounded to hundredths
    double points = 0;      // rounded to hundredths
    bool optimal = false;   // no solution scores more points
    std::vector<ScoredFix> turnpoints;
    std::vector<double> legsKm;  // free flight: start → tp1 → tp2 → tp3 → finish
    std::optional<ScoredFix> start, finish;          // free flight
    std::optional<ScoredFix> closingIn, closingOut;  // triangles
    double closingKm = 0, penaltyKm = 0;
    std::optional<ScoredFix> launch, landing;
    double milliseconds = 0;
};

// Throws std::invalid_argument for rules with more than eight kinds of triangle.
ScoreResult score(std::span<const flight::Fix> fixes, const Rules& rules,
                  const ScoreOptions& options = {});

// One tab-separated row: file, rules, type, km, points, "yes"/"no" (optimal), ms.
std::string scoreRow(const std::string& file, const ScoreResult& result);
// "XContest: 189,97 Punkte, FAI-Dreieck (geschlossen), 118,73 km"
std::string tooltipLine(const ScoreResult& result);
// The solution as a GeoJSON FeatureCollection: the turnpoints, the legs, the closing points
// or the start and finish, launch and landing; the score in its properties.
std::string geoJson(const ScoreResult& result);

}  // namespace qr::xc

#include "xc/Score.h"

#include <chrono>
#include <cstdio>

#include "xc/FlightSpan.h"
#include "xc/Search.h"
#include "xc/Track.h"

namespace qr::xc {
namespace {

struct Scored {
    SearchOutcome outcome;
    std::vector<int> index;  // track index → fix index
};

Scored scoreSpan(std::span<const flight::Fix> fixes, int first, int last, const Rules& rules,
                 std::optional<std::chrono::steady_clock::time_point> deadline) {
    Scored scored;
    std::vector<Position> positions;
    for (int i = first; i <= last; ++i) {
        if (!fixes[i].valid) continue;
        // A fix at the place of the one before adds no solution: the logger wrote it twice,
        // or the pilot stood still.
        if (!positions.empty() && positions.back().latitude == fixes[i].latitude &&
            positions.back().longitude == fixes[i].longitude)
            continue;
        positions.push_back({fixes[i].latitude, fixes[i].longitude});
        scored.index.push_back(i);
    }
    const Track track(positions);
    scored.outcome = search(track, rules, deadline);
    return scored;
}

std::string hundredths(double value, char point) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string s = text;
    for (char& c : s)
        if (c == '.') c = point;
    return s;
}

}  // namespace

ScoreResult score(std::span<const flight::Fix> fixes, const Rules& rules,
                  const ScoreOptions& options) {
    const auto began = std::chrono::steady_clock::now();
    std::optional<std::chrono::steady_clock::time_point> deadline;
    if (options.maxTimeSeconds)
        deadline = began + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                               std::chrono::duration<double>(*options.maxTimeSeconds));
    std::vector<FlightSpan> spans;
    if (options.detectFlight) spans = flightsOf(fixes);
    // A log too short to tell a flight by its speed (a few fixes) is scored whole.
    const bool tooShort = fixes.empty() || fixes.back().time - fixes.front().time < 60;
    if ((!options.detectFlight || tooShort) && !fixes.empty())
        spans = {{0, static_cast<int>(fixes.size()) - 1, 0}};

    ScoreResult result;
    result.rules = rules.name;
    result.optimal = true;
    std::optional<Scored> best;
    std::optional<FlightSpan> bestSpan;
    for (const FlightSpan& span : spans) {
        Scored scored = scoreSpan(fixes, span.launch, span.landing, rules, deadline);
        result.optimal = result.optimal && scored.outcome.optimal;
        const Solution& s = scored.outcome.best;
        if (s.type && (!best || s.points > best->outcome.best.points)) {
            best = std::move(scored);
            bestSpan = span;
        }
    }
    if (best) {
        const Solution& s = best->outcome.best;
        auto at = [&](int trackIndex) {
            const int i = best->index[trackIndex];
            return ScoredFix{i, fixes[i].latitude, fixes[i].longitude, fixes[i].time};
        };
        result.type = s.type->name;
        result.code = s.type->code;
        result.germanType = s.type->germanName;
        result.multiplier = s.type->multiplier;
        result.distanceKm = roundHundredths(s.distanceKm);
        result.points = s.points;
        for (int tp : s.turnpoints) result.turnpoints.push_back(at(tp));
        result.legsKm = s.legsKm;
        if (s.start >= 0) result.start = at(s.start);
        if (s.finish >= 0) result.finish = at(s.finish);
        if (s.closingIn >= 0) result.closingIn = at(s.closingIn);
        if (s.closingOut >= 0) result.closingOut = at(s.closingOut);
        result.closingKm = s.closingKm;
        result.penaltyKm = s.penaltyKm;
        auto fixAt = [&](int i) {
            return ScoredFix{i, fixes[i].latitude, fixes[i].longitude, fixes[i].time};
        };
        result.launch = fixAt(bestSpan->launch);
        result.landing = fixAt(bestSpan->landing);
    }
    result.milliseconds =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began).count();
    return result;
}

std::string scoreRow(const std::string& file, const ScoreResult& result) {
    char ms[32];
    std::snprintf(ms, sizeof ms, "%.0f", result.milliseconds);
    return file + '\t' + result.rules + '\t' + (result.type.empty() ? "-" : result.type) + '\t' +
           hundredths(result.distanceKm, '.') + '\t' + hundredths(result.points, '.') + '\t' +
           (result.optimal ? "yes" : "no") + '\t' + ms;
}

std::string tooltipLine(const ScoreResult& result) {
    if (result.type.empty()) return result.rules + ": 0,00 Punkte";
    return result.rules + ": " + hundredths(result.points, ',') + " Punkte, " + result.germanType +
           ", " + hundredths(result.distanceKm, ',') + " km";
}

}  // namespace qr::xc

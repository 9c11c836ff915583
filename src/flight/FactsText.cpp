#include "flight/FactsText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace qr::flight {
namespace {

std::string metres(int value) {
    return germanNumber(value) + " m";
}
std::string kilometres(double metres) {
    return germanNumber(metres / 1000.0, 2) + " km";
}

std::string altitudeLine(const FlightFacts& facts) {
    const auto range = facts.altitude();
    if (!range) return "Höhe unbekannt (kein Barometer, kein 3D-Fix)";
    std::string line =
        "max. Höhe " + metres(range->highest) + ", min. Höhe " + metres(range->lowest);
    if (facts.pressureAltitude) return line + " (Druckhöhe)";
    return line + " (GPS-Höhe, kein Barometer)";
}

}  // namespace

std::string germanNumber(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    const long long scaled = std::llround(std::abs(value) * scale);
    const long long whole = scaled / static_cast<long long>(scale);
    const std::string digits = std::to_string(whole);
    std::string text = scaled != 0 && value < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += '.';
        text += digits[i];
    }
    if (decimals > 0) {
        std::string fraction = std::to_string(scaled % static_cast<long long>(scale));
        text +=
            ',' + std::string(static_cast<std::size_t>(decimals) - fraction.size(), '0') + fraction;
    }
    return text;
}

std::string durationText(int seconds) {
    const int minutes = (std::max(seconds, 0) + 30) / 60;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d h", minutes / 60, minutes % 60);
    return text;
}

std::string timeOfDayText(int time) {
    const int t = ((time % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t / 3600, t / 60 % 60, t % 60);
    return text;
}

std::vector<std::string> factLines(const FlightFacts& facts) {
    if (facts.empty()) return {kNoFixesText};
    std::vector<std::string> lines;
    lines.push_back("Dauer " + durationText(facts.duration()));
    if (facts.movementSeen)
        lines.push_back("Start " + timeOfDayText(facts.takeOffTime) + " UTC, Landung " +
                        timeOfDayText(facts.landingTime) + " UTC");
    else
        lines.push_back("Erster Fix " + timeOfDayText(facts.takeOffTime) + " UTC, letzter Fix " +
                        timeOfDayText(facts.landingTime) + " UTC (kein Flug erkannt)");
    lines.push_back(altitudeLine(facts));
    if (facts.pressureAltitude && facts.gnssAltitude)
        lines.push_back("GPS-Höhe " + germanNumber(facts.gnssAltitude->lowest) + " bis " +
                        metres(facts.gnssAltitude->highest));
    if (facts.source != AltitudeSource::None)
        lines.push_back("Höhengewinn " + metres(facts.altitudeGain));
    if (facts.greatestClimb)
        lines.push_back("bestes Steigen " + germanNumber(*facts.greatestClimb, 1) + " m/s (über " +
                        std::to_string(kClimbSpanSeconds) + " s)");
    if (facts.straightDistance) {
        lines.push_back("Strecke Start–Landung " + kilometres(*facts.straightDistance));
        lines.push_back("größte Entfernung vom Start " +
                        kilometres(*facts.largestDistanceFromTakeOff));
    }
    return lines;
}

std::vector<std::string> factColumnHeaders() {
    return {"Dauer", "max. Höhe", "Höhengewinn", "max. Entfernung"};
}

std::vector<std::string> factColumns(const FlightFacts& facts) {
    if (facts.empty()) return {"-", "-", "-", "-"};
    const auto range = facts.altitude();
    return {durationText(facts.duration()), range ? metres(range->highest) : "-",
            facts.source != AltitudeSource::None ? metres(facts.altitudeGain) : "-",
            facts.largestDistanceFromTakeOff ? kilometres(*facts.largestDistanceFromTakeOff) : "-"};
}

}  // namespace qr::flight

#include "xc/Rules.h"

#include <algorithm>
#include <cctype>

namespace qr::xc {

// XContest: free flight over up to three turnpoints; triangles closed within 20 % of the
// perimeter, with the higher multipliers when closed within 5 %; the closing distance is
// subtracted.
const Rules& xcontestRules() {
    static const Rules rules{
        "XContest",
        {
            {"Free Flight", "od", "Freie Strecke", Shape::FreeFlight, 1.0, 0, 0, 0},
            {"Free Triangle", "tri", "Flaches Dreieck", Shape::Triangle, 1.2, 0, 0.2, 0},
            {"FAI Triangle", "fai", "FAI-Dreieck", Shape::Triangle, 1.4, 0.28, 0.2, 0},
            {"Closed Free Triangle", "tri", "Flaches Dreieck (geschlossen)", Shape::Triangle, 1.4,
             0, 0.05, 0},
            {"Closed FAI Triangle", "fai", "FAI-Dreieck (geschlossen)", Shape::Triangle, 1.6, 0.28,
             0.05, 0},
        }};
    return rules;
}

// FFVL (CFD): distance over up to three points at 1 point per km; triangles closed within
// 3 km, or within 5 % of the perimeter for the larger ones; a closing up to 3 km is free,
// a longer one is subtracted. An out-and-return counts as much as the flat triangle through
// the same two turnpoints (its third at the far one), so it needs no search of its own.
const Rules& ffvlRules() {
    static const Rules rules{
        "FFVL",
        {
            {"Distance 3 points", "od", "Strecke über 3 Punkte", Shape::FreeFlight, 1.0, 0, 0, 0},
            {"Triangle plat", "tri", "Flaches Dreieck", Shape::Triangle, 1.2, 0, 0.05, 3},
            {"Triangle FAI", "fai", "FAI-Dreieck", Shape::Triangle, 1.4, 0.28, 0.05, 3},
        }};
    return rules;
}

const Rules* rulesNamed(std::string_view name) {
    auto same = [&](std::string_view other) {
        return std::equal(name.begin(), name.end(), other.begin(), other.end(),
                          [](char a, char b) { return std::tolower(a) == std::tolower(b); });
    };
    if (same("XContest")) return &xcontestRules();
    if (same("FFVL")) return &ffvlRules();
    return nullptr;
}

}  // namespace qr::xc

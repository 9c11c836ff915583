#pragma once
// The scoring rules of the cross-country leagues: which shapes of flight count, their
// multipliers and their closing rules, as the leagues publish them.
#include <string>
#include <string_view>
#include <vector>

namespace qr::xc {

enum class Shape {
    FreeFlight,    // launch side, up to three turnpoints, landing side: four legs
    Triangle,      // three turnpoints, closed near the start
    OutAndReturn,  // two turnpoints, out and back, closed near the start
};

struct FlightType {
    std::string name;        // the league's own name, e.g. "Closed FAI Triangle"
    std::string code;        // short code: "od", "oar", "tri", "fai"
    std::string germanName;  // for the program's own texts, e.g. "FAI-Dreieck (geschlossen)"
    Shape shape = Shape::FreeFlight;
    double multiplier = 1;
    double minSideShare = 0;   // each side at least this share of the perimeter (FAI: 0.28)
    double closingShare = 0;   // closing distance at most this share of the perimeter
    double closingFreeKm = 0;  // a closing up to this distance is not subtracted
};

struct Rules {
    std::string name;  // "XContest", "FFVL"
    std::vector<FlightType> types;
};

const Rules& xcontestRules();
const Rules& ffvlRules();
// The rules of that name (case-insensitive), or nullptr.
const Rules* rulesNamed(std::string_view name);

}  // namespace qr::xc

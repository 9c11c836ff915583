#pragma once
// The free flight (start → three turnpoints → finish) as a dynamic programme over the legs
// rounded to hundredths, as the leagues count them, one layer per turnpoint. Its best chain is
// the free flight of the most points; bounds of the legs let it pass over most fixes, and a
// leg is measured on the ellipsoid only where its bounds round apart.
#include <array>
#include <chrono>
#include <optional>
#include <vector>

#include "xc/Track.h"

namespace qr::xc {

using Hull = std::array<Ecef, 8>;  // the corners of a box that holds a range of fixes

// How the programme takes a leg: as its upper bound rounded (quick, but a chain may then count
// more than it measures), or rounded as measured on the ellipsoid.
enum class Legs { Bounded, Measured };

struct FreeChain {
    int a = 0, b = 0, c = 0;  // the turnpoints
    double km = 0;            // its legs rounded and summed, as taken; no free flight has more
};

class FreeFlightProgramme {
public:
    // farStart[i]: the chord to the farthest fix up to i (that fix: farStartIndex[i]);
    // farFinish[i]: the chord to the farthest fix from i on.
    FreeFlightProgramme(const Track& track, const std::vector<double>& farStart,
                        const std::vector<int>& farStartIndex,
                        const std::vector<double>& farFinish);

    // Chains of at most `target` km (rounded legs) may be passed over: then `km` is at least
    // the target. Nothing at the deadline.
    std::optional<FreeChain> run(double target, Legs legs,
                                 std::optional<std::chrono::steady_clock::time_point> deadline);

private:
    // Each fix's weight is base + the rounded leg from its source fix to it, so that a range
    // of fixes is bounded by where their sources lie rather than by its heaviest weight
    // alone: along a straight glide every fix ties, and only the sources tell that.
    struct Layer {
        std::vector<double> weight, base;
        std::vector<int> source;
    };
    // The leg i → j, and the longest leg from fix i to one of [lo, hi] (whose chord is
    // `farChord`), rounded to hundredths.
    double roundedLeg(int i, int j) const;
    double roundedFarthest(int i, double farChord, int lo, int hi) const;
    bool step(const Layer& in, const std::vector<double>& rest, double target, Layer& out,
              std::optional<std::chrono::steady_clock::time_point> deadline);

    const Track& t_;
    Legs legs_ = Legs::Measured;
    const std::vector<double>& farStart_;
    const std::vector<int>& farStartIndex_;
    const std::vector<double>& farFinish_;
    std::vector<std::vector<Hull>> hulls_;  // as the track's boxes
};

}  // namespace qr::xc

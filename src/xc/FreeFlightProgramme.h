#pragma once
// The free flight (start → three turnpoints → finish) as a dynamic programme over upper
// bounds of the legs, one layer per turnpoint. Its best chain bounds every free flight of the
// track; the search measures that chain exactly and takes it as proven when the two agree.
#include <array>
#include <chrono>
#include <optional>
#include <vector>

#include "xc/Track.h"

namespace qr::xc {

using Hull = std::array<Ecef, 8>;  // the corners of a box that holds a range of fixes

// km: how much a layer of the programme may fall short of its true maximum; it passes over
// the ranges of fixes that cannot gain more than that.
constexpr double kLayerSlack = 0.0001;

struct FreeChain {
    int a = 0, b = 0, c = 0;  // the turnpoints
    double bound = 0;         // no free flight is longer, less 3 × kLayerSlack
};

class FreeFlightProgramme {
public:
    // farStart[i]: the chord to the farthest fix up to i (that fix: farStartIndex[i]);
    // farFinish[i]: the chord to the farthest fix from i on.
    FreeFlightProgramme(const Track& track, const std::vector<double>& farStart,
                        const std::vector<int>& farStartIndex,
                        const std::vector<double>& farFinish);

    // Chains that cannot beat `target` km may be passed over (their bound is then at most
    // the target). Nothing at the deadline.
    std::optional<FreeChain> run(double target,
                                 std::optional<std::chrono::steady_clock::time_point> deadline);

private:
    // Each fix's weight is base + the bounded leg from its source fix to it, so that a range
    // of fixes is bounded by where their sources lie rather than by its heaviest weight
    // alone: along a straight glide every fix ties, and only the sources tell that.
    struct Layer {
        std::vector<double> weight, base;
        std::vector<int> source;
    };
    bool step(const Layer& in, const std::vector<double>& rest, double target, Layer& out,
              std::optional<std::chrono::steady_clock::time_point> deadline);

    const Track& t_;
    const std::vector<double>& farStart_;
    const std::vector<int>& farStartIndex_;
    const std::vector<double>& farFinish_;
    std::vector<std::vector<Hull>> hulls_;  // as the track's boxes
};

}  // namespace qr::xc

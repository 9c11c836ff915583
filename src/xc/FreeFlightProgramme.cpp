#include "xc/FreeFlightProgramme.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "xc/Parallel.h"
#include "xc/Search.h"
#include "xc/SearchBounds.h"

namespace qr::xc {

namespace {

// Level k holds the maxima over the ranges of 2^k values, as the track's box hierarchy.
std::vector<std::vector<double>> maxima(const std::vector<double>& values) {
    std::vector<std::vector<double>> levels{values};
    while (levels.back().size() > 1) {
        const auto& v = levels.back();
        std::vector<double> up((v.size() + 1) / 2);
        for (std::size_t j = 0; j < up.size(); ++j)
            up[j] = 2 * j + 1 < v.size() ? std::max(v[2 * j], v[2 * j + 1]) : v[2 * j];
        levels.push_back(std::move(up));
    }
    return levels;
}

// Ranges of fewer fixes than a level of this are gone through fix by fix, which costs less
// than bounding them: they need no hull.
constexpr int kHullLevel = 3;

// The boxes of the source fixes of each range, in the same hierarchy, from kHullLevel up
// (the levels below are left empty).
std::vector<std::vector<Box>> sourceBoxes(const Track& t, const std::vector<int>& source) {
    const int n = static_cast<int>(source.size());
    std::vector<std::vector<Box>> levels(kHullLevel);
    std::vector<Box> lowest(((n - 1) >> kHullLevel) + 1);
    for (int i = 0; i < n; ++i) {
        const Box b = pointBox(t.point(source[i]));
        Box& range = lowest[i >> kHullLevel];
        range = (i & ((1 << kHullLevel) - 1)) == 0 ? b : unite(range, b);
    }
    levels.push_back(std::move(lowest));
    while (levels.back().size() > 1) {
        const auto& v = levels.back();
        std::vector<Box> up((v.size() + 1) / 2);
        for (std::size_t j = 0; j < up.size(); ++j)
            up[j] = 2 * j + 1 < v.size() ? unite(v[2 * j], v[2 * j + 1]) : v[2 * j];
        levels.push_back(std::move(up));
    }
    return levels;
}

Ecef minus(const Ecef& a, const Ecef& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
double dot(const Ecef& a, const Ecef& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Ecef cross(const Ecef& a, const Ecef& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Ecef unit(const Ecef& a, const Ecef& fallback) {
    const double n = std::sqrt(dot(a, a));
    return n > 1e-12 ? Ecef{a.x / n, a.y / n, a.z / n} : fallback;
}

// A box around the fixes of a range, turned to lie along the range: one axis from its first
// fix to its last, one up. Along a straight glide it is as narrow as the glide, where a box
// along the earth's axes may reach kilometres off it.
Hull hullOf(const Track& t, int first, int last) {
    const Ecef& o = t.point(first);
    const Ecef up = unit(o, {0, 0, 1});
    // Any direction across `up` serves where the range begins and ends at one place.
    const Ecef across = std::abs(up.z) < 0.9 ? Ecef{0, 0, 1} : Ecef{1, 0, 0};
    const Ecef side = unit(cross(up, minus(t.point(last), o)), unit(cross(up, across), {}));
    const Ecef along = cross(side, up);
    const Ecef axes[3] = {along, side, up};
    double lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
    for (int i = first; i <= last; ++i) {
        const Ecef d = minus(t.point(i), o);
        for (int k = 0; k < 3; ++k) {
            const double c = dot(d, axes[k]);
            lo[k] = std::min(lo[k], c);
            hi[k] = std::max(hi[k], c);
        }
    }
    Hull hull;
    for (int corner = 0; corner < 8; ++corner) {
        Ecef v = o;
        for (int k = 0; k < 3; ++k) {
            const double c = corner & (1 << k) ? hi[k] : lo[k];
            v = {v.x + c * axes[k].x, v.y + c * axes[k].y, v.z + c * axes[k].z};
        }
        hull[corner] = v;
    }
    return hull;
}

// Values of the programme are sums of hundredths: a range of fixes raises the best for a fix
// by a hundredth or not at all, and passes over those whose bound falls short of that. kTie
// absorbs the error of the sums in floating point.
constexpr double kStep = 0.01;
constexpr double kTie = 0.0001;

bool pastDeadline(std::optional<std::chrono::steady_clock::time_point> deadline) {
    return deadline && std::chrono::steady_clock::now() >= *deadline;
}

}  // namespace

FreeFlightProgramme::FreeFlightProgramme(const Track& track, const std::vector<double>& farStart,
                                         const std::vector<int>& farStartIndex,
                                         const std::vector<double>& farFinish)
    : t_(track), farStart_(farStart), farStartIndex_(farStartIndex), farFinish_(farFinish) {
    hulls_.resize(t_.topLevel() + 1);
    for (int level = kHullLevel; level <= t_.topLevel(); ++level)
        hulls_[level].resize(((t_.size() - 1) >> level) + 1);
    // Each part of the fixes makes the hulls of the ranges that begin in it, on every level.
    forParts(t_.size(), [&](int first, int last) {
        for (int level = kHullLevel; level <= t_.topLevel(); ++level) {
            const int step = 1 << level;
            for (int index = (first + step - 1) >> level; (index << level) < last; ++index) {
                const Node nd{static_cast<std::int8_t>(level), index};
                hulls_[level][index] = hullOf(t_, t_.first(nd), t_.last(nd));
            }
        }
    });
}

// The geodesic lies between the chord and its upper bound; most legs round to the same
// hundredth at both ends, and only the others are measured.
double FreeFlightProgramme::roundedLeg(int i, int j) const {
    const double c = chord(t_.point(i), t_.point(j));
    const double high = roundHundredths(geodesicUpperBound(c));
    if (legs_ == Legs::Bounded || roundHundredths(c) == high) return high;
    return roundHundredths(t_.geodesic(i, j));
}

double FreeFlightProgramme::roundedFarthest(int i, double farChord, int lo, int hi) const {
    const double high = roundHundredths(geodesicUpperBound(farChord));
    if (legs_ == Legs::Bounded || roundHundredths(farChord) == high) return high;
    return roundHundredths(t_.farthestExact(i, lo, hi).second);
}

// For every fix j the most that weight[i] + (the rounded leg i → j) reaches over the fixes
// i ≤ j, and where. rest[j] bounds what the legs after j can add; a j that cannot
// lead past `target` keeps its own weight (a chain that stays at j), which the chains through
// it never beat. False when the deadline passed first.
bool FreeFlightProgramme::step(const Layer& in, const std::vector<double>& rest, double target,
                               Layer& out,
                               std::optional<std::chrono::steady_clock::time_point> deadline) {
    const int n = t_.size();
    const auto most = maxima(in.weight);
    const auto baseMost = maxima(in.base);
    const auto sources = sourceBoxes(t_, in.source);
    out.weight.assign(n, 0);
    out.base.assign(n, 0);
    out.source.assign(n, 0);
    // Rounding adds at most kRoundUp to each leg bounded.
    auto loose = [&](Node nd, const Ecef& p) {
        return most[nd.level][nd.index] + geodesicUpperBound(maxChord(p, t_.box(nd))) + kRoundUp;
    };
    // Each fix's two legs, source → fix → p, are convex in the fix's position: a corner of
    // the range's hull bounds them, and the heaviest base the rest. The legs from the
    // sources to the corners are the same for every p.
    std::vector<std::vector<std::array<double, 8>>> fromSources(hulls_.size());
    for (std::size_t level = kHullLevel; level < hulls_.size(); ++level) {
        fromSources[level].resize(hulls_[level].size());
        for (std::size_t k = 0; k < hulls_[level].size(); ++k)
            for (int corner = 0; corner < 8; ++corner)
                fromSources[level][k][corner] =
                    baseMost[level][k] + 2 * kRoundUp +
                    geodesicUpperBound(maxChord(hulls_[level][k][corner], sources[level][k]));
    }
    auto tightBelow = [&](Node nd, const Ecef& p, double limit) {
        const Hull& hull = hulls_[nd.level][nd.index];
        const auto& from = fromSources[nd.level][nd.index];
        for (int corner = 0; corner < 8; ++corner)
            if (from[corner] + geodesicUpperBound(chord(hull[corner], p)) >= limit) return false;
        return true;
    };
    std::vector<double> heaviest(n);  // the heaviest weight up to each fix
    for (int j = 0; j < n; ++j) heaviest[j] = std::max(j > 0 ? heaviest[j - 1] : 0, in.weight[j]);
    std::atomic<bool> late{false};
    forParts(n, [&](int first, int last) {
        int hint = first;
        for (int j = first; j < last; ++j) {
            double best = in.weight[j];
            int arg = j;
            if (heaviest[j] + geodesicUpperBound(farStart_[j]) + kRoundUp + rest[j] > target) {
                if ((j & 1023) == 1023 && (late || pastDeadline(deadline))) {
                    late = true;
                    return;
                }
                const Ecef& p = t_.point(j);
                for (int i : {hint, 0}) {
                    if (i > j) continue;
                    const double v = in.weight[i] + roundedLeg(i, j);
                    if (v > best) {
                        best = v;
                        arg = i;
                    }
                }
                // Depth first, the more promising child first.
                Node stack[64];
                int top = 0;
                stack[top++] = t_.root();
                while (top > 0) {
                    const Node nd = stack[--top];
                    const double raise = best + kStep - kTie;
                    if (t_.first(nd) > j || loose(nd, p) < raise) continue;
                    if (nd.level < kHullLevel) {
                        for (int i = t_.first(nd); i <= std::min(t_.last(nd), j); ++i) {
                            const double v = in.weight[i] + roundedLeg(i, j);
                            if (v > best) {
                                best = v;
                                arg = i;
                            }
                        }
                        continue;
                    }
                    if (tightBelow(nd, p, raise)) continue;
                    const Node l = t_.left(nd);
                    if (!t_.hasRight(nd)) {
                        stack[top++] = l;
                        continue;
                    }
                    const Node r = t_.right(nd);
                    const bool leftFirst = loose(l, p) > loose(r, p);
                    stack[top++] = leftFirst ? r : l;
                    stack[top++] = leftFirst ? l : r;
                }
                hint = arg;
            }
            out.weight[j] = best;
            out.base[j] = in.weight[arg];
            out.source[j] = arg;
        }
    });
    return !late;
}

std::optional<FreeChain> FreeFlightProgramme::run(
    double target, Legs legs, std::optional<std::chrono::steady_clock::time_point> deadline) {
    legs_ = legs;
    const int n = t_.size();
    if (n == 0) return FreeChain{};
    Layer first;
    first.weight.resize(n);
    first.base.assign(n, 0);
    first.source = farStartIndex_;
    for (int i = 0; i < n; ++i) first.weight[i] = roundedFarthest(i, farStart_[i], 0, i);
    // What the legs after a fix can still add: after the second turnpoint one leg to the
    // third and the finish leg from there; after the third the finish leg.
    std::vector<double> rest2(n), rest3(n);
    double furthest = 0;
    for (int i = n - 1; i >= 0; --i) {
        rest3[i] = geodesicUpperBound(farFinish_[i]) + kRoundUp;
        furthest = std::max(furthest, rest3[i]);
        rest2[i] = rest3[i] + furthest;
    }
    Layer second, third;
    if (!step(first, rest2, target, second, deadline) ||
        !step(second, rest3, target, third, deadline))
        return std::nullopt;
    FreeChain chain;
    chain.km = -1;
    for (int i = 0; i < n; ++i) {
        if (third.weight[i] + rest3[i] <= chain.km + kTie) continue;
        const double v = third.weight[i] + roundedFarthest(i, farFinish_[i], i, n - 1);
        if (v > chain.km) {
            chain.km = v;
            chain.c = i;
        }
    }
    chain.b = third.source[chain.c];
    chain.a = second.source[chain.b];
    chain.km = std::max(chain.km, target);  // the chains passed over reach no more
    return chain;
}

}  // namespace qr::xc

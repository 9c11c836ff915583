#include "xc/Search.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <queue>
#include <stdexcept>
#include <unordered_map>

#include "xc/FreeFlightProgramme.h"
#include "xc/Parallel.h"
#include "xc/SearchBounds.h"

namespace qr::xc {

namespace {

// The search ranks solutions by their points, as the league rounds them; of solutions with as
// many points, by their unrounded score. A solution is optimal when no other has more points.
constexpr double kSame = 1e-9;  // comparisons of rounded figures, in the pilot's favour
constexpr int kScanLevel = 5;   // ranges of up to 32 fixes are bounded fix by fix
constexpr std::size_t kMaxTriangleTypes = 8;
constexpr double kNone = -std::numeric_limits<double>::infinity();

// The nodes of the three turnpoints; a free flight's start and finish follow from them.
struct Entry {
    double bound;
    Shape shape;
    Node n[3];
};

struct ByBound {
    bool operator()(const Entry& a, const Entry& b) const { return a.bound < b.bound; }
};

class Searcher {
public:
    Searcher(const Track& track, const Rules& rules) : t_(track) {
        for (const FlightType& type : rules.types) {
            if (type.shape == Shape::FreeFlight) free_.push_back(&type);
            if (type.shape == Shape::Triangle) triangles_.push_back(&type);
        }
        for (const FlightType* type : free_)
            freeMultiplier_ = std::max(freeMultiplier_, type->multiplier);
        for (const FlightType* type : triangles_)
            triangleMultiplier_ = std::max(triangleMultiplier_, type->multiplier);
        if (triangles_.size() > kMaxTriangleTypes)
            throw std::invalid_argument("rules with more than 8 kinds of triangle");
        if (!free_.empty()) prepareEnds();
    }

    SearchOutcome run(std::optional<std::chrono::steady_clock::time_point> deadline) {
        SearchOutcome outcome;
        outcome.optimal = true;
        if (t_.size() == 0) return outcome;
        const Node root = t_.root();
        const int n = t_.size();
        if (!free_.empty()) freeCandidate(0, n / 2, n - 1, true);
        // Triangles first: their best score lets the free flight's programme below pass
        // over most fixes.
        if (!triangles_.empty() && n >= 2) push({0, Shape::Triangle, {root, root, root}});
        long pops = 0;
        bool inTime = searchQueue(deadline, pops);
        // The free flight by dynamic programming over bounded leg lengths; only where that
        // cannot prove its answer (legs of thousands of kilometres) by the search as well.
        if (inTime && !free_.empty() && !freeByLayers(deadline)) {
            push({0, Shape::FreeFlight, {root, root, root}});
            inTime = searchQueue(deadline, pops);
        }
        outcome.optimal = inTime;
        outcome.best = best_;
        outcome.expanded = pops;
        return outcome;
    }

    // Expands the queue until nothing in it can beat the best; false at the deadline.
    bool searchQueue(std::optional<std::chrono::steady_clock::time_point> deadline, long& pops) {
        while (!queue_.empty()) {
            const Entry e = queue_.top();
            if (!mayBeat(e.bound, e.shape)) break;
            queue_.pop();
            if ((++pops & 255) == 0 && deadline && std::chrono::steady_clock::now() >= *deadline)
                return false;
            expand(e);
        }
        std::priority_queue<Entry, std::vector<Entry>, ByBound>().swap(queue_);
        return true;
    }

private:
    int mid(Node n) const { return (t_.first(n) + t_.last(n)) / 2; }

    // The programme's best chain is proven when its points, measured, are those the
    // programme counted (or a triangle's): the programme passes over only the chains that
    // cannot round to more points than the best so far. With the legs bounded it nearly
    // always is; where a bound rounds past its leg, the legs are measured.
    bool freeByLayers(std::optional<std::chrono::steady_clock::time_point> deadline) {
        FreeFlightProgramme programme(t_, farStart_, farStartIndex_, farFinish_);
        for (Legs legs : {Legs::Bounded, Legs::Measured}) {
            const double target =
                best_.type ? (best_.points + kRoundUp) / freeMultiplier_ - kSame : 0;
            const auto chain = programme.run(target, legs, deadline);
            if (!chain) return false;
            freeCandidate(chain->a, chain->b, chain->c, true);
            if (roundHundredths(freeMultiplier_ * chain->km) <= best_.points + kSame) return true;
        }
        return false;
    }

    // The farthest fix on the launch side and on the landing side of every fix, and their
    // maxima over the nodes of the hierarchy.
    void prepareEnds() {
        const int n = t_.size();
        std::vector<double> start(n), finish(n);
        farStartIndex_.resize(n);
        // The answer for the neighbouring fix is a good first guess.
        forParts(n, [&](int first, int last) {
            for (int i = first, hint = 0; i < last; ++i) {
                const auto [index, km] = t_.farthest(i, 0, i, hint);
                start[i] = km;
                farStartIndex_[i] = hint = index;
            }
            for (int i = last - 1, hint = n - 1; i >= first; --i) {
                const auto [index, km] = t_.farthest(i, i, n - 1, hint);
                finish[i] = km;
                hint = index;
            }
        });
        prefix_.resize(n);
        suffix_.resize(n);
        for (int i = 0; i < n; ++i) {
            const Ecef& p = t_.point(i);
            Box b = pointBox(p);
            if (i > 0) b = unite(prefix_[i - 1], b);
            prefix_[i] = b;
        }
        for (int i = n - 1; i >= 0; --i) {
            const Ecef& p = t_.point(i);
            Box b = pointBox(p);
            if (i + 1 < n) b = unite(suffix_[i + 1], b);
            suffix_[i] = b;
        }
        farStart_ = start;
        farFinish_ = finish;
        startMax_.push_back(std::move(start));
        finishMax_.push_back(std::move(finish));
        for (int level = 1; level <= t_.topLevel(); ++level) {
            const auto& s = startMax_.back();
            const auto& f = finishMax_.back();
            std::vector<double> s2((s.size() + 1) / 2), f2((f.size() + 1) / 2);
            for (std::size_t j = 0; j < s2.size(); ++j) {
                const bool two = 2 * j + 1 < s.size();
                s2[j] = two ? std::max(s[2 * j], s[2 * j + 1]) : s[2 * j];
                f2[j] = two ? std::max(f[2 * j], f[2 * j + 1]) : f[2 * j];
            }
            startMax_.push_back(std::move(s2));
            finishMax_.push_back(std::move(f2));
        }
    }

    // Whether a shape whose unrounded score is bounded by `bound` may still score more points
    // than the best. Each rounded leg (four of a free flight, three sides of a triangle) may
    // exceed the leg by half a hundredth, so a shape a little shorter than the best may still
    // round to more points.
    bool mayBeat(double bound, Shape shape) const {
        if (!best_.type) return true;
        const bool free = shape == Shape::FreeFlight;
        const double roundingUp = (free ? freeMultiplier_ * 4 : triangleMultiplier_ * 3) * kRoundUp;
        return bound + roundingUp >= best_.points + kRoundUp - kSame;
    }

    void push(Entry e) {
        e.bound = e.shape == Shape::FreeFlight ? freeBound(e.n) : triangleBound(e.n);
        if (e.bound == kNone || !mayBeat(e.bound, e.shape)) return;
        queue_.push(e);
    }

    void expand(const Entry& e) {
        const int dimensions = 3;
        if (e.shape == Shape::FreeFlight) {
            const int a = mid(e.n[0]);
            const int b = std::max(mid(e.n[1]), a);
            freeCandidate(a, b, std::max(mid(e.n[2]), b));
        } else {
            const int a = mid(e.n[0]);
            const int b = std::max(mid(e.n[1]), a);
            triangleCandidate(a, b, std::max(mid(e.n[2]), b));
        }
        int split = -1;
        double widest = -1;
        for (int k = 0; k < dimensions; ++k) {
            if (e.n[k].level == 0) continue;
            const double d = diagonal(t_.box(e.n[k]));
            if (d > widest) {
                widest = d;
                split = k;
            }
        }
        if (split < 0) return;
        Entry child = e;
        child.n[split] = t_.left(e.n[split]);
        push(child);
        if (t_.hasRight(e.n[split])) {
            child.n[split] = t_.right(e.n[split]);
            push(child);
        }
    }

    double legBound(Node a, Node b) const {
        return geodesicUpperBound(maxChord(t_.box(a), t_.box(b)));
    }

    // The two legs into and out of a turnpoint in B at once.
    double middleBound(Node a, Node b, Node c) const {
        return cornerBound(t_.box(a), t_.box(b), t_.box(c));
    }
    double freeBound(const Node* n) const {
        const Node &A = n[0], &B = n[1], &C = n[2];
        if (t_.first(A) > t_.last(B) || t_.first(B) > t_.last(C)) return kNone;
        // Start → A → B → C → finish. The start lies among the fixes up to A's last, the
        // finish among those from C's first: besides the farthest distances known for each
        // fix, their boxes let the legs on either side of A and of C be bounded in pairs,
        // which along a straight glide to or from a turnpoint is far tighter.
        const Box& before = prefix_[t_.last(A)];
        const Box& after = suffix_[t_.first(C)];
        const double start = geodesicUpperBound(startMax_[A.level][A.index]);
        const double finish = geodesicUpperBound(finishMax_[C.level][C.index]);
        const double ab = legBound(A, B), bc = legBound(B, C);
        double atA = std::min(start + ab, cornerBound(before, t_.box(A), t_.box(B)));
        double atC = std::min(bc + finish, cornerBound(t_.box(B), t_.box(C), after));
        // Small ranges are cheaper to go through fix by fix, and then exact on their side.
        if (A.level <= kScanLevel) {
            double most = 0;
            for (int a = t_.first(A); a <= t_.last(A); ++a)
                most = std::max(most, geodesicUpperBound(farStart_[a]) +
                                          geodesicUpperBound(maxChord(t_.point(a), t_.box(B))));
            atA = std::min(atA, most);
        }
        if (C.level <= kScanLevel) {
            double most = 0;
            for (int c = t_.first(C); c <= t_.last(C); ++c)
                most = std::max(most, geodesicUpperBound(maxChord(t_.point(c), t_.box(B))) +
                                          geodesicUpperBound(farFinish_[c]));
            atC = std::min(atC, most);
        }
        const double legs = std::min({atA + atC, start + middleBound(A, B, C) + finish});
        return freeMultiplier_ * legs;
    }

    void freeCandidate(int a, int b, int c, bool always = false) {
        const double quick =
            geodesicUpperBound(farStart_[a]) + geodesicUpperBound(chord(t_.point(a), t_.point(b))) +
            geodesicUpperBound(chord(t_.point(b), t_.point(c))) + geodesicUpperBound(farFinish_[c]);
        if (!always && !mayBeat(freeMultiplier_ * quick, Shape::FreeFlight)) return;
        const auto start = t_.farthestExact(a, 0, a);
        const auto finish = t_.farthestExact(c, c, t_.size() - 1);
        const std::vector<double> legs{
            roundHundredths(start.second), roundHundredths(t_.geodesic(a, b)),
            roundHundredths(t_.geodesic(b, c)), roundHundredths(finish.second)};
        const double distance = legs[0] + legs[1] + legs[2] + legs[3];
        const double exact = start.second + t_.geodesic(a, b) + t_.geodesic(b, c) + finish.second;
        for (const FlightType* type : free_) {
            const double value = exact * type->multiplier;
            if (!record(*type, value, distance, {a, b, c})) continue;
            best_.legsKm = legs;
            best_.start = start.first;
            best_.finish = finish.first;
        }
    }

    // Starts a new best solution when this one is better; the caller fills in the rest.
    bool record(const FlightType& type, double value, double distance,
                std::vector<int> turnpoints) {
        const double points = roundHundredths(distance * type.multiplier);
        if (!better(points, value)) return false;
        best_ = Solution{};
        best_.type = &type;
        best_.value = value;
        best_.points = points;
        best_.distanceKm = distance;
        best_.turnpoints = std::move(turnpoints);
        return true;
    }

    // More points, or as many and longer: of solutions within the search's tolerance the
    // one the rounding favours.
    bool better(double points, double value) const {
        if (!best_.type) return true;
        if (points > best_.points + kSame) return true;
        return points > best_.points - kSame && value > best_.value;
    }

    static std::uint64_t key(int a, int c) {
        return (static_cast<std::uint64_t>(a) << 32) | static_cast<std::uint32_t>(c);
    }

    double closingChord(int a, int c) {
        const auto [it, fresh] = closingChord_.try_emplace(key(a, c), 0.0);
        if (fresh) it->second = t_.closestChord(a, c);
        return it->second;
    }

    double triangleBound(const Node* n) {
        const Node &A = n[0], &B = n[1], &C = n[2];
        if (t_.first(A) > t_.last(B) || t_.first(B) > t_.last(C)) return kNone;
        const double u[3] = {legBound(A, B), legBound(B, C), legBound(C, A)};
        const double lower = minChord(t_.box(A), t_.box(B)) + minChord(t_.box(B), t_.box(C)) +
                             minChord(t_.box(C), t_.box(A)) - 3 * kRoundUp;
        const double upper = std::min({u[0] + u[1] + u[2], middleBound(A, B, C) + u[2],
                                       middleBound(B, C, A) + u[0], middleBound(C, A, B) + u[1]});
        const double shortest = std::min({u[0], u[1], u[2]}) + kRoundUp;
        // The perimeter each type may reach, before looking at the closing.
        double reach[kMaxTriangleTypes];
        double bound = kNone;
        for (std::size_t k = 0; k < triangles_.size(); ++k) {
            const FlightType& type = *triangles_[k];
            double p = upper;
            if (type.minSideShare > 0) p = std::min(p, shortest / type.minSideShare + 3 * kRoundUp);
            reach[k] = p < lower ? kNone : p;
            if (reach[k] != kNone) bound = std::max(bound, type.multiplier * p);
        }
        if (bound == kNone || !mayBeat(bound, Shape::Triangle)) return bound;
        // The nearest the track comes back to its start before A ends, after C begins.
        const double closing = closingChord(t_.last(A), t_.first(C)) - kRoundUp;
        bound = kNone;
        for (std::size_t k = 0; k < triangles_.size(); ++k) {
            if (reach[k] == kNone) continue;
            const FlightType& type = *triangles_[k];
            if (closing >
                std::max(type.closingFreeKm, type.closingShare * (reach[k] + 3 * kRoundUp)))
                continue;
            const double penalty = closing > type.closingFreeKm ? closing : 0;
            bound = std::max(bound, type.multiplier * (reach[k] - penalty));
        }
        return bound;
    }

    void triangleCandidate(int a, int b, int c) {
        if (c >= t_.size()) return;
        const double quick = geodesicUpperBound(chord(t_.point(a), t_.point(b))) +
                             geodesicUpperBound(chord(t_.point(b), t_.point(c))) +
                             geodesicUpperBound(chord(t_.point(c), t_.point(a)));
        if (!mayBeat(triangleMultiplier_ * quick, Shape::Triangle)) return;
        const double sides[3] = {roundHundredths(t_.geodesic(a, b)),
                                 roundHundredths(t_.geodesic(b, c)),
                                 roundHundredths(t_.geodesic(c, a))};
        const double perimeter = sides[0] + sides[1] + sides[2];
        const double exact = t_.geodesic(a, b) + t_.geodesic(b, c) + t_.geodesic(c, a);
        const double shortest = std::min({sides[0], sides[1], sides[2]});
        const auto [it, fresh] = closingExact_.try_emplace(key(a, c));
        if (fresh) it->second = t_.closestExact(a, c);
        const Track::Pair closing = it->second;
        const double closingKm = roundHundredths(closing.km);
        for (const FlightType* type : triangles_) {
            if (type->minSideShare > 0 && shortest < type->minSideShare * perimeter - kSame)
                continue;
            if (closingKm > std::max(type->closingFreeKm, type->closingShare * perimeter) + kSame)
                continue;
            const double penalty = closingKm > type->closingFreeKm + kSame ? closingKm : 0;
            const double distance = perimeter - penalty;
            const double value = (exact - (penalty > 0 ? closing.km : 0)) * type->multiplier;
            if (!record(*type, value, distance, {a, b, c})) continue;
            best_.penaltyKm = penalty;
            best_.legsKm = {sides[0], sides[1], sides[2]};
            best_.closingIn = closing.in;
            best_.closingOut = closing.out;
            best_.closingKm = closingKm;
        }
    }

    const Track& t_;
    std::vector<const FlightType*> free_, triangles_;
    double freeMultiplier_ = 0, triangleMultiplier_ = 0;
    std::vector<double> farStart_, farFinish_;
    std::vector<int> farStartIndex_;
    std::vector<Box> prefix_, suffix_;  // the boxes of the fixes up to and from each fix
    std::vector<std::vector<double>> startMax_, finishMax_;
    std::unordered_map<std::uint64_t, double> closingChord_;
    std::unordered_map<std::uint64_t, Track::Pair> closingExact_;
    std::priority_queue<Entry, std::vector<Entry>, ByBound> queue_;
    Solution best_;
};

}  // namespace

SearchOutcome search(const Track& track, const Rules& rules,
                     std::optional<std::chrono::steady_clock::time_point> deadline) {
    return Searcher(track, rules).run(deadline);
}

}  // namespace qr::xc

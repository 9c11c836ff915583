#include "xc/Track.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qr::xc {

Track::Track(std::span<const Position> positions) : positions_(positions.begin(), positions.end()) {
    points_.reserve(positions_.size());
    for (const Position& p : positions_) points_.push_back(toEcef(p.latitude, p.longitude));
    std::vector<Box> level;
    level.reserve(points_.size());
    for (const Ecef& p : points_) level.push_back({{p.x, p.y, p.z}, {p.x, p.y, p.z}});
    if (level.empty()) level.push_back({{0, 0, 0}, {0, 0, 0}});
    boxes_.push_back(std::move(level));
    while (boxes_.back().size() > 1) {
        const std::vector<Box>& below = boxes_.back();
        std::vector<Box> above((below.size() + 1) / 2);
        for (std::size_t j = 0; j < above.size(); ++j) {
            Box b = below[2 * j];
            if (2 * j + 1 < below.size()) {
                const Box& r = below[2 * j + 1];
                for (int k = 0; k < 3; ++k) {
                    b.lo[k] = std::min(b.lo[k], r.lo[k]);
                    b.hi[k] = std::max(b.hi[k], r.hi[k]);
                }
            }
            above[j] = b;
        }
        boxes_.push_back(std::move(above));
    }
}

double Track::geodesic(int i, int j) const {
    const Position& a = positions_[i];
    const Position& b = positions_[j];
    return geodesicKm(a.latitude, a.longitude, b.latitude, b.longitude);
}

namespace {

// Depth-first over the nodes that overlap [lo, hi], nearer bounds first.
template <typename Bound, typename Leaf>
void descend(const Track& t, Node n, int lo, int hi, const Bound& bound, const Leaf& leaf) {
    if (t.last(n) < lo || t.first(n) > hi || !bound(n)) return;
    if (n.level == 0) {
        leaf(t.first(n));
        return;
    }
    descend(t, t.left(n), lo, hi, bound, leaf);
    if (t.hasRight(n)) descend(t, t.right(n), lo, hi, bound, leaf);
}

}  // namespace

namespace {

// Farther nodes first, so that the best found early prunes the rest. Squared chords, which
// order as the chords do.
void farthestIn(const Track& t, Node n, const Ecef& p, int lo, int hi,
                std::pair<int, double>& best) {
    if (t.last(n) < lo || t.first(n) > hi) return;
    if (n.level == 0) {
        const double d = chordSquared(p, t.point(t.first(n)));
        if (d > best.second) best = {t.first(n), d};
        return;
    }
    Node x = t.left(n);
    if (!t.hasRight(n)) {
        if (maxChordSquared(p, t.box(x)) > best.second) farthestIn(t, x, p, lo, hi, best);
        return;
    }
    Node y = t.right(n);
    double bx = maxChordSquared(p, t.box(x)), by = maxChordSquared(p, t.box(y));
    if (by > bx) {
        std::swap(x, y);
        std::swap(bx, by);
    }
    if (bx > best.second) farthestIn(t, x, p, lo, hi, best);
    if (by > best.second) farthestIn(t, y, p, lo, hi, best);
}

}  // namespace

std::pair<int, double> Track::farthest(int a, int lo, int hi, int hint) const {
    const Ecef& p = points_[a];
    std::pair<int, double> best{a, 0};  // the chord squared, until the end
    for (int candidate : {hint, lo, hi})
        if (candidate >= lo && candidate <= hi) {
            const double d = chordSquared(p, points_[candidate]);
            if (d > best.second) best = {candidate, d};
        }
    farthestIn(*this, root(), p, lo, hi, best);
    best.second = std::sqrt(best.second);
    return best;
}

std::pair<int, double> Track::farthestExact(int a, int lo, int hi) const {
    auto [index, km] = farthest(a, lo, hi);
    std::pair<int, double> best{index, geodesic(a, index)};
    const Ecef& p = points_[a];
    descend(
        *this, root(), lo, hi,
        [&](Node n) { return geodesicUpperBound(maxChord(p, box(n))) > best.second; },
        [&](int i) {
            if (i == best.first || geodesicUpperBound(chord(p, points_[i])) <= best.second) return;
            const double d = geodesic(a, i);
            if (d > best.second) best = {i, d};
        });
    return best;
}

namespace {

// Dual descent over the pairs of a fix of [0, a] and one of [c, n − 1]; visit(i, j) is called
// for leaf pairs whose chord may still matter, limit() says how far that is.
template <typename Limit, typename Visit>
void closestPairs(const Track& t, Node p, Node s, int a, int c, const Limit& limit,
                  const Visit& visit) {
    if (t.first(p) > a || t.last(s) < c) return;
    if (minChord(t.box(p), t.box(s)) >= limit()) return;
    if (p.level == 0 && s.level == 0) {
        visit(t.first(p), t.first(s));
        return;
    }
    Node x1, x2, y1, y2;
    bool two;
    const bool splitP = p.level >= s.level;
    const Node& big = splitP ? p : s;
    x1 = t.left(big);
    two = t.hasRight(big);
    x2 = two ? t.right(big) : x1;
    y1 = y2 = splitP ? s : p;
    auto pairOf = [&](Node x, Node y) { return splitP ? std::pair{x, y} : std::pair{y, x}; };
    auto [p1, s1] = pairOf(x1, y1);
    if (!two) {
        closestPairs(t, p1, s1, a, c, limit, visit);
        return;
    }
    auto [p2, s2] = pairOf(x2, y2);
    if (minChord(t.box(p2), t.box(s2)) < minChord(t.box(p1), t.box(s1))) {
        std::swap(p1, p2);
        std::swap(s1, s2);
    }
    closestPairs(t, p1, s1, a, c, limit, visit);
    closestPairs(t, p2, s2, a, c, limit, visit);
}

}  // namespace

double Track::closestChord(int a, int c) const {
    if (a >= c) return 0;
    double best = std::numeric_limits<double>::infinity();
    closestPairs(
        *this, root(), root(), a, c, [&] { return best; },
        [&](int i, int j) {
            if (i <= a && j >= c) best = std::min(best, chord(points_[i], points_[j]));
        });
    return best;
}

Track::Pair Track::closestExact(int a, int c) const {
    if (a >= c) return {a, a, 0};
    // The nearest pair by chord first; then every pair whose chord is below that pair's
    // geodesic may still be nearer on the ellipsoid.
    Pair bestChord{a, c, std::numeric_limits<double>::infinity()};
    closestPairs(
        *this, root(), root(), a, c, [&] { return bestChord.km; },
        [&](int i, int j) {
            if (i > a || j < c) return;
            const double d = chord(points_[i], points_[j]);
            if (d < bestChord.km) bestChord = {i, j, d};
        });
    Pair best{bestChord.in, bestChord.out, geodesic(bestChord.in, bestChord.out)};
    closestPairs(
        *this, root(), root(), a, c, [&] { return best.km; },
        [&](int i, int j) {
            if (i > a || j < c || (i == best.in && j == best.out)) return;
            if (chord(points_[i], points_[j]) >= best.km) return;
            const double d = geodesic(i, j);
            if (d < best.km) best = {i, j, d};
        });
    return best;
}

}  // namespace qr::xc

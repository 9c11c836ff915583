#pragma once
// A flight's fixes prepared for the search: earth-centred positions and a hierarchy of
// bounding boxes over index ranges (level k, node j covers fixes j·2^k to (j+1)·2^k − 1),
// with the nearest- and farthest-point queries the scorer needs.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "xc/Geodesy.h"

namespace qr::xc {

struct Position {
    double latitude = 0, longitude = 0;
};

struct Box {
    double lo[3], hi[3];
};

struct Node {
    std::int8_t level = 0;
    std::int32_t index = 0;
};

class Track {
public:
    explicit Track(std::span<const Position> positions);

    int size() const { return static_cast<int>(points_.size()); }
    int topLevel() const { return static_cast<int>(boxes_.size()) - 1; }
    Node root() const { return {static_cast<std::int8_t>(topLevel()), 0}; }
    int first(Node n) const { return n.index << n.level; }
    int last(Node n) const {
        const long end = (static_cast<long>(n.index) + 1) << n.level;
        return static_cast<int>(std::min<long>(end, size()) - 1);
    }
    const Box& box(Node n) const { return boxes_[n.level][n.index]; }
    // The children of a node above level 0; the second is absent past the end of the track.
    Node left(Node n) const { return {static_cast<std::int8_t>(n.level - 1), n.index * 2}; }
    bool hasRight(Node n) const { return ((n.index * 2 + 1) << (n.level - 1)) < size(); }
    Node right(Node n) const { return {static_cast<std::int8_t>(n.level - 1), n.index * 2 + 1}; }

    const Ecef& point(int i) const { return points_[i]; }
    const Position& position(int i) const { return positions_[i]; }
    double geodesic(int i, int j) const;

    // The farthest fix from fix a among [lo, hi], by chord: its index and chord. A hint (a fix
    // likely to be far) speeds the search up.
    std::pair<int, double> farthest(int a, int lo, int hi, int hint = -1) const;
    // The longest geodesic from fix a to a fix of [lo, hi]: its index and length.
    std::pair<int, double> farthestExact(int a, int lo, int hi) const;
    // The shortest chord between a fix of [0, a] and one of [c, size − 1] (0 where they meet).
    double closestChord(int a, int c) const;
    struct Pair {
        int in = 0, out = 0;
        double km = 0;
    };
    // The shortest geodesic between a fix of [0, a] and one of [c, size − 1].
    Pair closestExact(int a, int c) const;

private:
    std::vector<Position> positions_;
    std::vector<Ecef> points_;
    std::vector<std::vector<Box>> boxes_;
};

inline double maxChord(const Box& a, const Box& b) {
    double s = 0;
    for (int k = 0; k < 3; ++k) {
        const double d = std::max(a.hi[k] - b.lo[k], b.hi[k] - a.lo[k]);
        s += d * d;
    }
    return std::sqrt(s);
}

inline double minChord(const Box& a, const Box& b) {
    double s = 0;
    for (int k = 0; k < 3; ++k) {
        const double d = std::max({0.0, a.lo[k] - b.hi[k], b.lo[k] - a.hi[k]});
        s += d * d;
    }
    return std::sqrt(s);
}

inline double maxChordSquared(const Ecef& p, const Box& b) {
    const double c[3] = {p.x, p.y, p.z};
    double s = 0;
    for (int k = 0; k < 3; ++k) {
        const double d = std::max(std::abs(c[k] - b.lo[k]), std::abs(b.hi[k] - c[k]));
        s += d * d;
    }
    return s;
}

inline double maxChord(const Ecef& p, const Box& b) {
    return std::sqrt(maxChordSquared(p, b));
}

}  // namespace qr::xc

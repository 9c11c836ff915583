#pragma once
// Upper bounds over boxes of the track's box hierarchy, shared by the search and the free
// flight's programme.
#include <algorithm>

#include "xc/Track.h"

namespace qr::xc {

inline Box pointBox(const Ecef& p) {
    return Box{{p.x, p.y, p.z}, {p.x, p.y, p.z}};
}

inline Box unite(Box a, const Box& b) {
    for (int k = 0; k < 3; ++k) {
        a.lo[k] = std::min(a.lo[k], b.lo[k]);
        a.hi[k] = std::max(a.hi[k], b.hi[k]);
    }
    return a;
}

// The square of the box's diagonal.
inline double diagonal(const Box& b) {
    double s = 0;
    for (int k = 0; k < 3; ++k) s += (b.hi[k] - b.lo[k]) * (b.hi[k] - b.lo[k]);
    return s;
}

// The two legs into and out of a point of `box`, from a point of `before` and to one of
// `after`: their bounded sum is convex in the point's position, so a corner of the box bounds
// it. Along a straight glide this is far tighter than the legs bounded one by one.
inline double cornerBound(const Box& before, const Box& box, const Box& after) {
    double best = 0;
    for (int corner = 0; corner < 8; ++corner) {
        const Ecef q{corner & 1 ? box.hi[0] : box.lo[0], corner & 2 ? box.hi[1] : box.lo[1],
                     corner & 4 ? box.hi[2] : box.lo[2]};
        best = std::max(
            best, geodesicUpperBound(maxChord(q, before)) + geodesicUpperBound(maxChord(q, after)));
    }
    return best;
}

}  // namespace qr::xc

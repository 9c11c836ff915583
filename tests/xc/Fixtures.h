#pragma once
// Small generated tracks for the scorer's tests.
#include <vector>

#include "flight/Fix.h"

namespace qr::xc::test {

struct LatLon {
    double latitude, longitude;
};

// Fixes one second apart through the corners, in a straight line (in latitude and longitude)
// between them, `steps` fixes per leg; all 3D fixes, 1000 m up.
std::vector<flight::Fix> trackThrough(const std::vector<LatLon>& corners, int steps = 20);

// The point `km` away from `from` on the bearing (degrees from north), on a sphere; good
// enough to lay out test shapes, whose figures the tests take from the scorer's own distance.
LatLon offset(LatLon from, double bearingDegrees, double km);

}  // namespace qr::xc::test

#pragma once
// Distances on the WGS84 ellipsoid. The scorer bounds its search with straight-line (chord)
// distances between earth-centred coordinates, which enclose the geodesic tightly, and
// measures candidate solutions with the exact geodesic.
#include <cmath>

namespace qr::xc {

// Earth-centred, earth-fixed coordinates of a point on the ellipsoid, in kilometres.
struct Ecef {
    double x = 0, y = 0, z = 0;
};

Ecef toEcef(double latitudeDegrees, double longitudeDegrees);

// Squared chords order as the chords do, without the square root.
inline double chordSquared(const Ecef& a, const Ecef& b) {
    const double dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return dx * dx + dy * dy + dz * dz;
}

inline double chord(const Ecef& a, const Ecef& b) {
    return std::sqrt(chordSquared(a, b));
}

// The geodesic between two points of the ellipsoid is never shorter than their chord, and,
// since no curve on the ellipsoid bends more sharply than a circle of the smallest radius of
// curvature (the meridian's at the equator), never longer than the arc of that circle over the
// chord. For a 100 km leg the two differ by about a metre, the bound and the geodesic by a
// few centimetres. Legs over 6000 km get the longest geodesic there is.
inline double geodesicUpperBound(double chordKm) {
    constexpr double kMinCurvatureRadius = 6378.137 * (1 - 0.00669437999014);  // km
    constexpr double kLongestGeodesic = 20003.9315;  // half a meridian, km
    const double x = chordKm / (2 * kMinCurvatureRadius);
    if (x >= 0.5) return kLongestGeodesic;
    // asin x ≤ x + x³ / (6 (1 − x²)): the series of asin with every coefficient after the
    // second replaced by the larger 1/6. Within a centimetre of asin for 300 km. Below
    // x = 0.03 (380 km, nearly every leg) the factor for x = 0.03 serves: it saves a division
    // and adds a centimetre at most.
    const double x2 = x * x;
    constexpr double kShortFactor = 1 / (6 * (1 - 0.03 * 0.03));
    const double factor = x < 0.03 ? kShortFactor : 1 / (6 * (1 - x2));
    return 2 * kMinCurvatureRadius * (x + x * x2 * factor);
}

// The length of the geodesic between two points (Vincenty's inverse method, to well below a
// millimetre). Near-antipodal points, where that iteration may not settle, get the mean of the
// two chord bounds, which is within 0.25 % of the truth; no flight has such legs.
double geodesicKm(double lat1, double lon1, double lat2, double lon2);

}  // namespace qr::xc

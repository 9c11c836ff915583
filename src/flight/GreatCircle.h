#pragma once
// Distances on the earth as a sphere: good to a few tenths of a percent, which is all a
// flight's facts need (a contest score works on the ellipsoid).
namespace qr::flight {

constexpr double kEarthRadiusMetres = 6371000.0;  // mean radius

// The great-circle distance in metres between two points given in degrees.
double greatCircleMetres(double latitude1, double longitude1, double latitude2, double longitude2);

// Distances from one fixed point, cheaper than greatCircleMetres when measured again and
// again: the point's cosine is computed once, and `farness` (monotonic in the distance)
// needs no square root or arc sine, so the farthest of many points costs one conversion.
class DistancesFrom {
public:
    DistancesFrom(double latitude, double longitude);
    double farness(double latitude, double longitude) const;
    static double metresOfFarness(double farness);
    double metres(double latitude, double longitude) const {
        return metresOfFarness(farness(latitude, longitude));
    }

private:
    double latitude_;   // radians
    double longitude_;  // radians
    double cosLatitude_;
};

}  // namespace qr::flight

#include "flight/GreatCircle.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qr::flight {
namespace {

constexpr double kRadians = std::numbers::pi / 180.0;

double squaredSine(double halfAngle) {
    const double s = std::sin(halfAngle);
    return s * s;
}

}  // namespace

DistancesFrom::DistancesFrom(double latitude, double longitude)
    : latitude_(latitude * kRadians),
      longitude_(longitude * kRadians),
      cosLatitude_(std::cos(latitude_)) {}

// The haversine of the central angle.
double DistancesFrom::farness(double latitude, double longitude) const {
    const double lat = latitude * kRadians;
    return squaredSine((lat - latitude_) / 2) +
           cosLatitude_ * std::cos(lat) * squaredSine((longitude * kRadians - longitude_) / 2);
}

double DistancesFrom::metresOfFarness(double farness) {
    return 2 * kEarthRadiusMetres * std::asin(std::sqrt(std::clamp(farness, 0.0, 1.0)));
}

double greatCircleMetres(double latitude1, double longitude1, double latitude2, double longitude2) {
    return DistancesFrom(latitude1, longitude1).metres(latitude2, longitude2);
}

}  // namespace qr::flight

#include "xc/Fixtures.h"

#include <cmath>
#include <numbers>

namespace qr::xc::test {

std::vector<flight::Fix> trackThrough(const std::vector<LatLon>& corners, int steps) {
    std::vector<flight::Fix> fixes;
    int time = 36000;
    auto add = [&](double lat, double lon) {
        flight::Fix f;
        f.time = time++;
        f.latitude = lat;
        f.longitude = lon;
        if (f.longitude > 180) f.longitude -= 360;
        if (f.longitude < -180) f.longitude += 360;
        f.valid = true;
        f.pressureAltitude = f.gnssAltitude = 1000;
        fixes.push_back(f);
    };
    if (corners.empty()) return fixes;
    add(corners[0].latitude, corners[0].longitude);
    for (std::size_t i = 1; i < corners.size(); ++i) {
        const LatLon a = corners[i - 1], b = corners[i];
        double dLon = b.longitude - a.longitude;
        if (dLon > 180) dLon -= 360;
        if (dLon < -180) dLon += 360;
        for (int s = 1; s <= steps; ++s) {
            const double t = static_cast<double>(s) / steps;
            add(a.latitude + (b.latitude - a.latitude) * t, a.longitude + dLon * t);
        }
    }
    return fixes;
}

LatLon offset(LatLon from, double bearingDegrees, double km) {
    constexpr double kRad = std::numbers::pi / 180;
    const double d = km / 6371.0, b = bearingDegrees * kRad, p = from.latitude * kRad;
    const double lat =
        std::asin(std::sin(p) * std::cos(d) + std::cos(p) * std::sin(d) * std::cos(b));
    const double lon =
        from.longitude * kRad + std::atan2(std::sin(b) * std::sin(d) * std::cos(p),
                                           std::cos(d) - std::sin(p) * std::sin(lat));
    return {lat / kRad, lon / kRad};
}

}  // namespace qr::xc::test

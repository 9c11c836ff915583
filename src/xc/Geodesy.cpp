#include "xc/Geodesy.h"

#include <algorithm>
#include <numbers>

namespace qr::xc {
namespace {

constexpr double kA = 6378.137;  // km
constexpr double kF = 1 / 298.257223563;
constexpr double kB = kA * (1 - kF);
constexpr double kE2 = kF * (2 - kF);
constexpr double kRad = std::numbers::pi / 180;

}  // namespace

Ecef toEcef(double latitudeDegrees, double longitudeDegrees) {
    const double phi = latitudeDegrees * kRad, lambda = longitudeDegrees * kRad;
    const double s = std::sin(phi), c = std::cos(phi);
    const double n = kA / std::sqrt(1 - kE2 * s * s);
    return {n * c * std::cos(lambda), n * c * std::sin(lambda), n * (1 - kE2) * s};
}

double geodesicKm(double lat1, double lon1, double lat2, double lon2) {
    if (lat1 == lat2 && lon1 == lon2) return 0;
    const double u1 = std::atan((1 - kF) * std::tan(lat1 * kRad));
    const double u2 = std::atan((1 - kF) * std::tan(lat2 * kRad));
    const double sinU1 = std::sin(u1), cosU1 = std::cos(u1);
    const double sinU2 = std::sin(u2), cosU2 = std::cos(u2);
    double l = (lon2 - lon1) * kRad;
    l = std::remainder(l, 2 * std::numbers::pi);
    double lambda = l;
    for (int i = 0; i < 200; ++i) {
        const double sinLambda = std::sin(lambda), cosLambda = std::cos(lambda);
        const double t1 = cosU2 * sinLambda;
        const double t2 = cosU1 * sinU2 - sinU1 * cosU2 * cosLambda;
        const double sinSigma = std::sqrt(t1 * t1 + t2 * t2);
        if (sinSigma == 0) return 0;
        const double cosSigma = sinU1 * sinU2 + cosU1 * cosU2 * cosLambda;
        const double sigma = std::atan2(sinSigma, cosSigma);
        const double sinAlpha = cosU1 * cosU2 * sinLambda / sinSigma;
        const double cos2Alpha = 1 - sinAlpha * sinAlpha;
        const double cos2SigmaM = cos2Alpha != 0 ? cosSigma - 2 * sinU1 * sinU2 / cos2Alpha : 0;
        const double c = kF / 16 * cos2Alpha * (4 + kF * (4 - 3 * cos2Alpha));
        const double previous = lambda;
        lambda =
            l + (1 - c) * kF * sinAlpha *
                    (sigma + c * sinSigma *
                                 (cos2SigmaM + c * cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM)));
        if (std::abs(lambda - previous) < 1e-13) {
            const double uu = cos2Alpha * (kA * kA - kB * kB) / (kB * kB);
            const double a = 1 + uu / 16384 * (4096 + uu * (-768 + uu * (320 - 175 * uu)));
            const double b = uu / 1024 * (256 + uu * (-128 + uu * (74 - 47 * uu)));
            const double deltaSigma =
                b * sinSigma *
                (cos2SigmaM + b / 4 *
                                  (cosSigma * (-1 + 2 * cos2SigmaM * cos2SigmaM) -
                                   b / 6 * cos2SigmaM * (-3 + 4 * sinSigma * sinSigma) *
                                       (-3 + 4 * cos2SigmaM * cos2SigmaM)));
            return kB * a * (sigma - deltaSigma);
        }
        if (std::abs(lambda) > std::numbers::pi) break;  // diverging: near-antipodal
    }
    const double c = chord(toEcef(lat1, lon1), toEcef(lat2, lon2));
    return (c + geodesicUpperBound(c)) / 2;
}

}  // namespace qr::xc

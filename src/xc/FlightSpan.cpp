#include "xc/FlightSpan.h"

#include <algorithm>

#include "xc/Geodesy.h"

namespace qr::xc {
namespace {

constexpr int kWindow = 30;         // seconds either side of a fix
constexpr double kAirSpeed = 12.0;  // km/h over ground
constexpr double kClimb = 1.5;      // m/s
constexpr double kSink = 2.5;       // m/s
constexpr int kGroundPause = 300;   // seconds on the ground that end a flight
constexpr int kShortest = 60;       // seconds in the air that make a flight
constexpr int kMargin = 60;         // seconds kept before the launch and after the landing

int altitude(const flight::Fix& f) {
    return f.gnssAltitude != 0 ? f.gnssAltitude : f.pressureAltitude;
}

}  // namespace

std::vector<FlightSpan> flightsOf(std::span<const flight::Fix> fixes) {
    std::vector<int> valid;
    for (int i = 0; i < static_cast<int>(fixes.size()); ++i)
        if (fixes[i].valid) valid.push_back(i);
    const int n = static_cast<int>(valid.size());
    std::vector<bool> air(n, false);
    std::vector<Ecef> points(n);
    for (int k = 0; k < n; ++k)
        points[k] = toEcef(fixes[valid[k]].latitude, fixes[valid[k]].longitude);
    // The distance along the track up to each fix: a glider circling in a thermal keeps its
    // speed along the track while it hardly moves over the ground.
    std::vector<double> along(n, 0);
    for (int k = 1; k < n; ++k) along[k] = along[k - 1] + chord(points[k - 1], points[k]);
    int lo = 0, hi = 0;
    for (int k = 0; k < n; ++k) {
        const int now = fixes[valid[k]].time;
        while (fixes[valid[lo]].time < now - kWindow) ++lo;
        if (hi < k) hi = k;
        while (hi + 1 < n && fixes[valid[hi + 1]].time <= now + kWindow) ++hi;
        const int seconds = fixes[valid[hi]].time - fixes[valid[lo]].time;
        if (seconds <= 0) continue;
        const double kmh = (along[hi] - along[lo]) / seconds * 3600;
        const double vertical =
            static_cast<double>(altitude(fixes[valid[hi]]) - altitude(fixes[valid[lo]])) / seconds;
        air[k] = kmh >= kAirSpeed || vertical >= kClimb || vertical <= -kSink;
    }
    std::vector<FlightSpan> spans;
    int k = 0;
    while (k < n) {
        while (k < n && !air[k]) ++k;
        if (k == n) break;
        const int launch = k;
        int last = k;
        while (k < n) {
            if (air[k]) {
                last = k;
            } else if (fixes[valid[k]].time - fixes[valid[last]].time >= kGroundPause) {
                break;
            }
            ++k;
        }
        if (fixes[valid[last]].time - fixes[valid[launch]].time >= kShortest) {
            // The window looks half a minute ahead and back: the launch run and the landing
            // approach lie within that of the first and last fix in the air.
            int from = launch, to = last;
            const int earliest = spans.empty() ? 0 : spans.back().landingValid + 1;
            while (from > earliest &&
                   fixes[valid[launch]].time - fixes[valid[from - 1]].time <= kMargin)
                --from;
            while (to + 1 < n && fixes[valid[to + 1]].time - fixes[valid[last]].time <= kMargin)
                ++to;
            spans.push_back({valid[from], valid[to], to});
        }
        k = std::max(last, spans.empty() ? last : spans.back().landingValid) + 1;
    }
    return spans;
}

}  // namespace qr::xc

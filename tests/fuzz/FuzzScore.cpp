// The cross-country scorer over arbitrary B records: it ends within its time limit with a
// sane solution (finite, non-negative points, turnpoints among the fixes, a triangle's
// closing no longer than allowed) under both leagues' rules.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "flight/Fix.h"
#include "xc/Score.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto fixes = qr::flight::fixesOfIgcText(text);
    qr::xc::ScoreOptions options;
    options.maxTimeSeconds = 0.2;
    options.detectFlight = (data[0] & 1) != 0;
    for (const qr::xc::Rules* rules : {&qr::xc::xcontestRules(), &qr::xc::ffvlRules()}) {
        const auto r = qr::xc::score(fixes, *rules, options);
        check(std::isfinite(r.points) && r.points >= 0 && std::isfinite(r.distanceKm));
        check(r.distanceKm >= 0 && r.points <= r.distanceKm * 1.6 + 0.011);
        check(r.type.empty() == (r.turnpoints.empty() && !r.start));
        for (const auto& tp : r.turnpoints)
            check(tp.index >= 0 && tp.index < static_cast<int>(fixes.size()));
        if (r.closingIn && r.closingOut) {
            double perimeter = 0;
            for (double leg : r.legsKm) perimeter += leg;
            check(r.closingIn->index <= r.turnpoints.front().index);
            check(r.closingOut->index >= r.turnpoints.back().index);
            check(r.closingKm <= std::max(3.0, 0.2 * perimeter) + 1e-6);
        }
        check(r.optimal || options.maxTimeSeconds);
        (void)qr::xc::geoJson(r);
        (void)qr::xc::tooltipLine(r);
    }
    return 0;
}

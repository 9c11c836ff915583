#include <gtest/gtest.h>

#include <chrono>

#include "xc/Fixtures.h"
#include "xc/Geodesy.h"
#include "xc/Score.h"
#include "xc/Search.h"

namespace qr::xc {
namespace {

using test::LatLon;
using test::offset;
using test::trackThrough;

ScoreOptions wholeLog() {
    ScoreOptions options;
    options.detectFlight = false;
    return options;
}

double km(LatLon a, LatLon b) {
    return geodesicKm(a.latitude, a.longitude, b.latitude, b.longitude);
}

TEST(XcGeodesy, MatchesThePublishedVincentyExample) {
    // Flinders Peak to Buninyong: 54 972.271 m.
    const double d =
        geodesicKm(-(37 + 57 / 60.0 + 3.72030 / 3600), 144 + 25 / 60.0 + 29.52440 / 3600,
                   -(37 + 39 / 60.0 + 10.15610 / 3600), 143 + 55 / 60.0 + 35.38390 / 3600);
    EXPECT_NEAR(d, 54.972271, 1e-6);
}

TEST(XcGeodesy, ChordBoundsEncloseTheGeodesic) {
    const LatLon cases[][2] = {{{45, 6}, {45.001, 6.001}},  {{45, 6}, {46.5, 9}},
                               {{0, 179.9}, {0.1, -179.8}}, {{-60, 10}, {-58, 20}},
                               {{89.9, 0}, {89.9, 180}},    {{10, 10}, {-10, -30}}};
    for (const auto& c : cases) {
        const double g = km(c[0], c[1]);
        const double ch =
            chord(toEcef(c[0].latitude, c[0].longitude), toEcef(c[1].latitude, c[1].longitude));
        EXPECT_LE(ch, g + 1e-9);
        EXPECT_GE(geodesicUpperBound(ch), g - 1e-9);
    }
}

TEST(XcScore, EmptyTrackScoresNothing) {
    const auto r = score({}, xcontestRules());
    EXPECT_EQ(r.type, "");
    EXPECT_EQ(r.points, 0);
    EXPECT_TRUE(r.optimal);
    EXPECT_EQ(tooltipLine(r), "XContest: 0,00 Punkte");
}

TEST(XcScore, TwoFixesAreAFreeFlightBetweenThem) {
    const LatLon a{46, 7}, b{46.1, 7.2};
    const auto fixes = trackThrough({a, b}, 1);
    ASSERT_EQ(fixes.size(), 2u);
    for (const Rules* rules : {&xcontestRules(), &ffvlRules()}) {
        const auto r = score(fixes, *rules, wholeLog());
        EXPECT_EQ(r.code, "od");
        EXPECT_DOUBLE_EQ(r.distanceKm, roundHundredths(km(a, b)));
        EXPECT_TRUE(r.optimal);
    }
}

TEST(XcScore, TheMostPointsAfterRoundingWin) {
    // O → X (10.006 km, rounds to 10.01) against O → M → X (5.004 + 5.004 km, each rounds to
    // 5.00): the longer chain scores less, and the league counts the rounded legs.
    constexpr double kEquatorKm = 6378.137;  // along the equator the geodesic is its arc
    const LatLon o{0, 0}, x{0, 10.006 / kEquatorKm * 180 / M_PI};
    double lo = 0, hi = 0.1;
    for (int i = 0; i < 80; ++i) {
        const double mid = (lo + hi) / 2;
        (km(o, {mid, x.longitude / 2}) < 5.004 ? lo : hi) = mid;
    }
    const LatLon m{lo, x.longitude / 2};
    ASSERT_NEAR(km(o, x), 10.006, 1e-9);
    ASSERT_NEAR(km(m, x), 5.004, 1e-9);
    for (const Rules* rules : {&xcontestRules(), &ffvlRules()}) {
        const auto r = score(trackThrough({o, m, x}, 1), *rules, wholeLog());
        EXPECT_DOUBLE_EQ(r.points, 10.01) << rules->name;
        EXPECT_TRUE(r.optimal);
    }
}

TEST(XcScore, ALegCountsAsMeasuredNotAsBounded) {
    // 300.0048 km along the equator: the chord's upper bound rounds up to 300.01, the leg
    // itself to 300.00.
    constexpr double kEquatorKm = 6378.137;
    const LatLon o{0, 0}, x{0, 300.0048 / kEquatorKm * 180 / M_PI};
    ASSERT_NEAR(km(o, x), 300.0048, 1e-9);
    const double c = chord(toEcef(o.latitude, o.longitude), toEcef(x.latitude, x.longitude));
    ASSERT_EQ(roundHundredths(geodesicUpperBound(c)), 300.01);
    for (const Rules* rules : {&xcontestRules(), &ffvlRules()}) {
        const auto r = score(trackThrough({o, x}, 1), *rules, wholeLog());
        EXPECT_DOUBLE_EQ(r.points, 300.00) << rules->name;
        EXPECT_TRUE(r.optimal);
    }
}

TEST(XcScore, FreeFlightAcrossTheAntimeridian) {
    const LatLon a{-16.5, 179.8}, b{-16.6, -179.7};
    const auto r = score(trackThrough({a, b}, 50), xcontestRules(), wholeLog());
    EXPECT_EQ(r.type, "Free Flight");
    EXPECT_NEAR(r.distanceKm, km(a, b), 0.03);  // four rounded legs
    EXPECT_GT(r.distanceKm, 50);
    EXPECT_TRUE(r.optimal);
}

// A closed triangle A → B → C → A whose shortest side, C → A, is `share` of the perimeter.
std::vector<LatLon> triangle(double share) {
    const LatLon a{45, 6};
    const double side = 30;  // A → B
    // An isosceles-like layout: B east of A, C placed so that |CA| = share·P.
    const LatLon b = offset(a, 90, side);
    // Search the bearing from B such that the shares come out as asked (a few steps suffice).
    double lo = 0, hi = 180;
    LatLon c = a;
    for (int i = 0; i < 60; ++i) {
        const double bearing = (lo + hi) / 2;
        c = offset(b, 270 + bearing / 2, 25);
        const double p = km(a, b) + km(b, c) + km(c, a);
        if (km(c, a) / p < share)
            lo = bearing;
        else
            hi = bearing;
    }
    return {a, b, c, a};
}

TEST(XcScore, FaiTriangleNeedsEachSideAtLeast28Percent) {
    // At 29 % the whole triangle counts as FAI; at 27 % an FAI triangle exists only inside it.
    for (double share : {0.29, 0.27}) {
        const auto corners = triangle(share);
        const double perimeter =
            km(corners[0], corners[1]) + km(corners[1], corners[2]) + km(corners[2], corners[0]);
        const auto r = score(trackThrough(corners, 200), xcontestRules(), wholeLog());
        ASSERT_EQ(r.legsKm.size(), 3u) << share;
        const double legs = r.legsKm[0] + r.legsKm[1] + r.legsKm[2];
        EXPECT_EQ(r.type, "Closed FAI Triangle") << share;
        for (double leg : r.legsKm) EXPECT_GE(leg, 0.28 * legs - 1e-9) << share;
        if (share > 0.28)
            EXPECT_NEAR(legs, perimeter, 0.02);
        else
            EXPECT_LT(legs, perimeter - 0.1);
        EXPECT_TRUE(r.optimal);
    }
}

TEST(XcScore, ClosingWithinFiveAndTwentyPercent) {
    // A → B → C → D with D short of A by a share of the perimeter of A, B, C.
    const LatLon a{45, 6};
    const LatLon b = offset(a, 60, 30), c = offset(a, 120, 30);
    const double perimeter = km(a, b) + km(b, c) + km(c, a);
    struct Case {
        double share;
        const char* type;
    };
    for (const Case& k : {Case{0.04, "Closed FAI Triangle"}, Case{0.12, "FAI Triangle"},
                          Case{0.30, "Free Flight"}}) {
        const LatLon d = offset(c, 300, km(c, a) - k.share * perimeter);
        const auto r = score(trackThrough({a, b, c, d}, 200), xcontestRules(), wholeLog());
        EXPECT_EQ(r.type, k.type) << k.share;
        if (r.closingIn) {
            EXPECT_LE(r.closingKm, (r.code == "fai" && r.multiplier > 1.5 ? 0.05 : 0.2) *
                                           (r.legsKm[0] + r.legsKm[1] + r.legsKm[2]) +
                                       1e-9);
            EXPECT_NEAR(r.distanceKm, r.legsKm[0] + r.legsKm[1] + r.legsKm[2] - r.closingKm, 1e-9);
        }
        EXPECT_TRUE(r.optimal);
    }
}

TEST(XcScore, FfvlLeavesAShortClosingFree) {
    const LatLon a{45, 6};
    const LatLon b = offset(a, 60, 30), c = offset(a, 120, 30);
    const LatLon d = offset(c, 300, km(c, a) - 2.0);  // 2 km short: free under FFVL
    const auto r = score(trackThrough({a, b, c, d}, 200), ffvlRules(), wholeLog());
    EXPECT_EQ(r.type, "Triangle FAI");
    EXPECT_EQ(r.penaltyKm, 0);
    EXPECT_NEAR(r.closingKm, 2.0, 0.1);  // the fixture is laid out on a sphere
    EXPECT_NEAR(r.points, 1.4 * r.distanceKm, 0.006);
}

TEST(XcScore, LaunchAfterAHikeUp) {
    // Half an hour of walking uphill at 4 km/h, then a flight out and away.
    std::vector<flight::Fix> fixes;
    const LatLon valley{46, 7};
    for (int s = 0; s < 1800; ++s) {
        flight::Fix f;
        const LatLon p = offset(valley, 0, 4.0 * s / 3600);
        f.time = 30000 + s;
        f.latitude = p.latitude;
        f.longitude = p.longitude;
        f.valid = true;
        f.gnssAltitude = f.pressureAltitude = 500 + s / 3;
        fixes.push_back(f);
    }
    const LatLon top = offset(valley, 0, 2.0);
    for (int s = 1; s <= 1000; ++s) {
        flight::Fix f;
        const LatLon p = offset(top, 180, 10.0 * s / 1000);  // back over the valley and on
        f.time = 31800 + s;
        f.latitude = p.latitude;
        f.longitude = p.longitude;
        f.valid = true;
        f.gnssAltitude = f.pressureAltitude = 1100;
        fixes.push_back(f);
    }
    // Straight lines tie everywhere, so the search gets a time limit here.
    ScoreOptions whole = wholeLog(), detected;
    whole.maxTimeSeconds = detected.maxTimeSeconds = 2;
    const auto withHike = score(fixes, xcontestRules(), whole);
    const auto flight = score(fixes, xcontestRules(), detected);
    // The whole log goes up the 2 km of the hike and back over them: 12 km.
    EXPECT_NEAR(withHike.distanceKm, 12.0, 0.1);
    ASSERT_TRUE(flight.launch);
    // The launch is found within the half-minute window plus the minute kept before it.
    EXPECT_GE(flight.launch->index, 1800 - 90);
    EXPECT_LE(flight.launch->index, 1800);
    EXPECT_NEAR(flight.distanceKm, 10.0, 0.1);
    fixes.resize(1800);
    const auto walk = score(fixes, xcontestRules(), detected);
    EXPECT_EQ(walk.type, "") << "a walk is no flight";
}

TEST(XcScore, ALongZigzagScoresItsCorners) {
    // Four straight 40 km legs east in a zigzag, 12,000 fixes: long enough for the search to
    // work in parts on several threads. The track never comes back, so no triangle counts,
    // and no chain of turnpoints beats the corners.
    const LatLon a{45, 6};
    const LatLon b = offset(a, 60, 40), c = offset(b, 120, 40), d = offset(c, 60, 40),
                 e = offset(d, 120, 40);
    const auto fixes = trackThrough({a, b, c, d, e}, 3000);
    ASSERT_GT(fixes.size(), 12000u);
    double corners = 0;
    for (auto [from, to] : {std::pair{a, b}, {b, c}, {c, d}, {d, e}})
        corners += roundHundredths(km(from, to));
    for (const Rules* rules : {&xcontestRules(), &ffvlRules()}) {
        const auto r = score(fixes, *rules, wholeLog());
        EXPECT_EQ(r.code, "od") << rules->name;
        EXPECT_NEAR(r.points, corners, 1e-9) << rules->name;
        EXPECT_TRUE(r.optimal);
    }
}

TEST(XcScore, TimeLimitOnAPerfectlyStraightLine) {
    std::vector<flight::Fix> fixes;
    for (int i = 0; i < 20000; ++i) {
        flight::Fix f;
        f.time = 30000 + i;
        f.latitude = 45 + i * 1e-5;  // along a meridian: every choice of turnpoints ties
        f.longitude = 6;
        f.valid = true;
        fixes.push_back(f);
    }
    ScoreOptions options = wholeLog();
    options.maxTimeSeconds = 0.5;
    const auto r = score(fixes, xcontestRules(), options);
    EXPECT_EQ(r.type, "Free Flight");
    EXPECT_NEAR(r.distanceKm, geodesicKm(45, 6, 45 + 19999e-5, 6), 0.03);
    EXPECT_LT(r.milliseconds, 60000) << "the limit holds (not a timing test: a hang guard)";
}

TEST(XcScore, RowAndTooltip) {
    ScoreResult r;
    r.rules = "XContest";
    r.type = "Closed FAI Triangle";
    r.germanType = "FAI-Dreieck (geschlossen)";
    r.points = 189.97;
    r.distanceKm = 118.73;
    r.optimal = true;
    r.milliseconds = 42.4;
    EXPECT_EQ(tooltipLine(r), "XContest: 189,97 Punkte, FAI-Dreieck (geschlossen), 118,73 km");
    EXPECT_EQ(scoreRow("a.igc", r),
              "a.igc\tXContest\tClosed FAI Triangle\t118.73\t189.97\tyes\t42");
}

TEST(XcScore, GeoJsonHasTheSolution) {
    const LatLon a{45, 6};
    const auto r = score(trackThrough({a, offset(a, 60, 30), offset(a, 120, 30), a}, 50),
                         xcontestRules(), wholeLog());
    const std::string json = geoJson(r);
    for (const char* part : {"\"tp0\"", "\"tp2\"", "\"cp_in\"", "\"cp_out\"", "\"closing\"",
                             "\"leg2\"", "\"Closed FAI Triangle\"", "\"optimal\":true"})
        EXPECT_NE(json.find(part), std::string::npos) << part;
}

}  // namespace
}  // namespace qr::xc

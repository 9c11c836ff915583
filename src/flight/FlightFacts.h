#pragma once
// What tells one flight from another at a glance: when it began and ended, how long and how
// high it went, how much it climbed and how far it got. Read from the fixes in linear time.
//
// Which fixes count for what:
// - A fix whose time is not later than the one before it (a repeat from the logger) is
//   passed over, so every time span below is positive.
// - Positions and GNSS altitudes come from fixes of validity "A" only: a "V" fix is a 2D
//   fix or none at all, so its altitude, and perhaps its position, says nothing.
// - Pressure altitudes come from every fix, unless all of them are 0: that is a logger
//   without a barometer, and the track then has no pressure altitude at all.
//
// Take-off and landing: the logger is taken as flying when, measured from fix to fix over
// at least kSpeedSpanSeconds, its ground speed is at least kTakeOffSpeedKmh or its altitude
// (of the gain's source, below) changes by at least kTakeOffClimbRate, over two such spans
// in a row and over both together. Walking, ground handling, the instrument's noise and a
// lone stray fix stay below that; a glider in the air stays above it, even one that hangs
// still over the ground in a strong wind while it climbs or sinks. Take-off is the first
// fix of the first such pair of spans, landing the last fix of the last, so both are known
// to within a span. When the fixes never show it (a track without a 3D fix, or one that
// did not move), take-off and landing are the first and the last fix.
//
// The flight is the part from take-off to landing; its duration, altitude gain, greatest
// climb and distances are measured over that part only. The highest and lowest altitudes
// are those of the whole track.
//
// Altitude gain and climb use the pressure altitude when the track has one (smoother and
// what the pilot's instrument shows), the GNSS altitude otherwise. The gain is the sum of
// all climbs, where a climb ends only when the altitude has fallen kPressureGainBand
// (pressure) or kGnssGainBand (GNSS) metres below its top, and a new one begins only when
// it has risen as much above its bottom; smaller ups and downs are the instrument's noise.
#include <cstddef>
#include <optional>
#include <span>

#include "flight/Fix.h"

namespace qr::flight {

constexpr double kTakeOffSpeedKmh = 15.0;
constexpr double kTakeOffClimbRate = 0.5;  // metres per second, up or down
constexpr int kSpeedSpanSeconds = 10;
constexpr int kClimbSpanSeconds = 30;
constexpr int kPressureGainBand = 5;
constexpr int kGnssGainBand = 10;

struct AltitudeRange {
    int lowest = 0;   // metres
    int highest = 0;  // metres
};

enum class AltitudeSource { None, Pressure, Gnss };

struct FlightFacts {
    std::size_t fixes = 0;  // fixes read, repeats included
    int firstFixTime = 0;   // Fix::time of the first fix
    int lastFixTime = 0;    // and of the last
    bool movementSeen = false;
    int takeOffTime = 0;  // Fix::time; the first fix when no movement was seen
    int landingTime = 0;  // Fix::time; the last fix when no movement was seen
    std::optional<AltitudeRange> pressureAltitude;  // absent without a barometer
    std::optional<AltitudeRange> gnssAltitude;      // absent without a 3D fix
    AltitudeSource source = AltitudeSource::None;   // of the gain and the climb
    int altitudeGain = 0;                           // metres
    // The greatest mean climb in metres per second over a span of at least
    // kClimbSpanSeconds; absent when the flight is shorter than that.
    std::optional<double> greatestClimb;
    // Great-circle metres from the take-off position to the landing position and the
    // greatest from the take-off position; absent without a 3D fix.
    std::optional<double> straightDistance;
    std::optional<double> largestDistanceFromTakeOff;

    bool empty() const { return fixes == 0; }
    int duration() const { return landingTime - takeOffTime; }  // seconds
    // The altitudes of the gain's source: the pressure altitude when there is one.
    std::optional<AltitudeRange> altitude() const {
        return pressureAltitude ? pressureAltitude : gnssAltitude;
    }
};

FlightFacts flightFacts(std::span<const Fix> fixes);

// The altitude of a fix in the given source; none for a "V" fix's GNSS altitude.
inline std::optional<int> altitudeOf(const Fix& fix, AltitudeSource source) {
    if (source == AltitudeSource::Pressure) return fix.pressureAltitude;
    if (source == AltitudeSource::Gnss && fix.valid) return fix.gnssAltitude;
    return std::nullopt;
}

}  // namespace qr::flight

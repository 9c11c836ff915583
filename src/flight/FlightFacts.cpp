#include "flight/FlightFacts.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "flight/GreatCircle.h"

namespace qr::flight {
namespace {

constexpr double kTakeOffSpeed = kTakeOffSpeedKmh / 3.6;  // metres per second

void widen(std::optional<AltitudeRange>& range, int altitude) {
    if (!range) {
        range = AltitudeRange{altitude, altitude};
        return;
    }
    range->lowest = std::min(range->lowest, altitude);
    range->highest = std::max(range->highest, altitude);
}

// The sum of climbs of an altitude series, ups and downs within the band left out.
class GainCounter {
public:
    explicit GainCounter(int band) : band_(band) {}
    void add(int altitude) {
        if (!started_) {
            started_ = true;
            bottom_ = altitude;
        } else if (climbing_) {
            if (altitude > top_) {
                top_ = altitude;
            } else if (altitude <= top_ - band_) {
                gain_ += top_ - bottom_;
                climbing_ = false;
                bottom_ = altitude;
            }
        } else if (altitude < bottom_) {
            bottom_ = altitude;
        } else if (altitude >= bottom_ + band_) {
            climbing_ = true;
            top_ = altitude;
        }
    }
    int gain() const { return gain_ + (climbing_ ? top_ - bottom_ : 0); }

private:
    int band_;
    bool started_ = false;
    bool climbing_ = false;
    int bottom_ = 0;
    int top_ = 0;
    int gain_ = 0;
};

// The fixes that count: no repeats; the positioned ones (validity "A") among them.
struct Series {
    std::vector<const Fix*> fixes;
    std::vector<std::size_t> positioned;  // indices into fixes
};

Series seriesOf(std::span<const Fix> all) {
    Series series;
    series.fixes.reserve(all.size());
    series.positioned.reserve(all.size());
    for (const Fix& fix : all) {
        if (!series.fixes.empty() && fix.time <= series.fixes.back()->time) continue;
        if (fix.valid) series.positioned.push_back(series.fixes.size());
        series.fixes.push_back(&fix);
    }
    return series;
}

// Take-off and landing among the positioned fixes, as indices into Series::fixes.
struct FlyingSpan {
    std::size_t takeOff = 0;
    std::size_t landing = 0;
};

std::optional<FlyingSpan> flyingSpan(const Series& series, AltitudeSource source) {
    const auto& at = series.positioned;
    const std::size_t n = at.size();
    auto fix = [&](std::size_t k) -> const Fix& { return *series.fixes[at[k]]; };
    // spanEnd[k]: the first positioned fix at least kSpeedSpanSeconds after fix k, or n.
    std::vector<std::size_t> spanEnd(n, n);
    for (std::size_t k = 0, end = 0; k < n; ++k) {
        end = std::max(end, k + 1);
        while (end < n && fix(end).time - fix(k).time < kSpeedSpanSeconds) ++end;
        spanEnd[k] = end;
    }
    auto fast = [&](std::size_t from, std::size_t to) {
        const Fix& a = fix(from);
        const Fix& b = fix(to);
        const int seconds = b.time - a.time;
        const auto altitudeA = altitudeOf(a, source);
        const auto altitudeB = altitudeOf(b, source);
        if (altitudeA && altitudeB &&
            std::abs(*altitudeB - *altitudeA) >= kTakeOffClimbRate * seconds)
            return true;
        return greatCircleMetres(a.latitude, a.longitude, b.latitude, b.longitude) >=
               kTakeOffSpeed * seconds;
    };
    // Two spans in a row from k, each and both together fast enough.
    auto flying = [&](std::size_t k, std::size_t& last) {
        const std::size_t middle = spanEnd[k];
        if (middle >= n || spanEnd[middle] >= n) return false;
        last = spanEnd[middle];
        return fast(k, middle) && fast(middle, last) && fast(k, last);
    };
    std::size_t last = 0;
    std::optional<std::size_t> takeOff;
    for (std::size_t k = 0; k < n && !takeOff; ++k)
        if (flying(k, last)) takeOff = k;
    if (!takeOff) return std::nullopt;
    for (std::size_t k = n; k-- > *takeOff;)
        if (flying(k, last)) return FlyingSpan{at[*takeOff], at[last]};
    return std::nullopt;  // not reached: the take-off's own spans qualify
}

// The greatest mean climb over at least kClimbSpanSeconds of an altitude series.
class ClimbMeter {
public:
    void add(int time, int altitude) {
        samples_.push_back({time, altitude});
        while (from_ + 1 < samples_.size() && time - samples_[from_ + 1].time >= kClimbSpanSeconds)
            ++from_;
        const Sample& start = samples_[from_];
        if (time - start.time < kClimbSpanSeconds) return;
        const double climb = double(altitude - start.altitude) / (time - start.time);
        if (!best_ || climb > *best_) best_ = climb;
    }
    std::optional<double> best() const { return best_; }

private:
    struct Sample {
        int time;
        int altitude;
    };
    std::vector<Sample> samples_;
    std::size_t from_ = 0;
    std::optional<double> best_;
};

}  // namespace

FlightFacts flightFacts(std::span<const Fix> all) {
    FlightFacts facts;
    facts.fixes = all.size();
    if (all.empty()) return facts;
    const Series series = seriesOf(all);
    const auto& fixes = series.fixes;

    bool barometer = false;
    for (const Fix* fix : fixes) {
        barometer = barometer || fix->pressureAltitude != 0;
        if (fix->valid) widen(facts.gnssAltitude, fix->gnssAltitude);
    }
    if (barometer)
        for (const Fix* fix : fixes) widen(facts.pressureAltitude, fix->pressureAltitude);
    facts.source = barometer            ? AltitudeSource::Pressure
                   : facts.gnssAltitude ? AltitudeSource::Gnss
                                        : AltitudeSource::None;

    facts.firstFixTime = fixes.front()->time;
    facts.lastFixTime = fixes.back()->time;
    std::size_t first = 0;
    std::size_t last = fixes.size() - 1;
    if (const auto span = flyingSpan(series, facts.source)) {
        facts.movementSeen = true;
        first = span->takeOff;
        last = span->landing;
    }
    facts.takeOffTime = fixes[first]->time;
    facts.landingTime = fixes[last]->time;

    if (facts.source != AltitudeSource::None) {
        GainCounter gain(facts.source == AltitudeSource::Pressure ? kPressureGainBand
                                                                  : kGnssGainBand);
        ClimbMeter climb;
        for (std::size_t k = first; k <= last; ++k) {
            const auto altitude = altitudeOf(*fixes[k], facts.source);
            if (!altitude) continue;
            gain.add(*altitude);
            climb.add(fixes[k]->time, *altitude);
        }
        facts.altitudeGain = gain.gain();
        facts.greatestClimb = climb.best();
    }

    // Distances from the first and to the last positioned fix of the flight.
    const Fix* start = nullptr;
    const Fix* end = nullptr;
    double farthest = 0;
    std::optional<DistancesFrom> fromStart;
    for (std::size_t k = first; k <= last; ++k) {
        const Fix& fix = *fixes[k];
        if (!fix.valid) continue;
        if (!start) {
            start = &fix;
            fromStart.emplace(fix.latitude, fix.longitude);
        }
        end = &fix;
        farthest = std::max(farthest, fromStart->farness(fix.latitude, fix.longitude));
    }
    if (start) {
        facts.straightDistance = fromStart->metres(end->latitude, end->longitude);
        facts.largestDistanceFromTakeOff = DistancesFrom::metresOfFarness(farthest);
    }
    return facts;
}

}  // namespace qr::flight

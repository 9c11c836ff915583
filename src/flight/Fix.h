#pragma once
// The fixes of a flight as the IGC B records give them. Everything that looks at a flight
// (its facts, its barogram, its cross-country score) reads the track through these.
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qr::flight {

constexpr int kSecondsPerDay = 86400;

struct Fix {
    // Seconds since 00:00 UTC of the day of the flight's first fix. parseBRecord gives the
    // time of day (0 to 86399); fixesOf counts on past midnight, so times never wrap.
    int time = 0;
    double latitude = 0;       // degrees, north positive
    double longitude = 0;      // degrees, east positive
    bool valid = false;        // fix validity "A" (3D); "V" is a 2D fix or none
    int pressureAltitude = 0;  // metres; 0 from a logger without a barometer
    int gnssAltitude = 0;      // metres above the ellipsoid
};

// One B record: "B" HHMMSS DDMMmmm(N|S) DDDMMmmm(E|W) (A|V) PPPPP GGGGG, extensions ignored.
// Empty for a line that is not a B record or has a field out of its range (a minute of 60,
// a latitude over 90 degrees, a letter in a digit field). Altitudes may carry a leading "-".
std::optional<Fix> parseBRecord(std::string_view line);

// The fixes of the B records among the lines, in order; broken B records and other lines
// are passed over. A time more than 12 hours before the previous fix's is taken as the
// next day (a flight across midnight UTC); smaller steps back stay as they are.
std::vector<Fix> fixesOf(std::span<const std::string> lines);

// The same for the text of an IGC file (lines ending in CR LF, LF or CR).
std::vector<Fix> fixesOfIgcText(std::string_view text);

}  // namespace qr::flight

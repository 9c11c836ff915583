#include "flight/Fix.h"

namespace qr::flight {
namespace {

constexpr std::size_t kBRecordLength = 35;

// The decimal value of text[pos, pos + count), or -1 for anything but digits.
int digits(std::string_view text, std::size_t pos, std::size_t count) {
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

// A five-character altitude: digits, or "-" and four digits.
std::optional<int> altitude(std::string_view text, std::size_t pos) {
    if (text[pos] == '-') {
        const int value = digits(text, pos + 1, 4);
        if (value < 0) return std::nullopt;
        return -value;
    }
    const int value = digits(text, pos, 5);
    if (value < 0) return std::nullopt;
    return value;
}

// Degrees and thousandths of minutes (DDMMmmm or DDDMMmmm) with the hemisphere letter.
std::optional<double> angle(std::string_view text, std::size_t pos, std::size_t degreeDigits,
                            char positive, char negative, int maxDegrees) {
    const int degrees = digits(text, pos, degreeDigits);
    const int milliMinutes = digits(text, pos + degreeDigits, 5);
    const char hemisphere = text[pos + degreeDigits + 5];
    if (degrees < 0 || milliMinutes < 0 || milliMinutes >= 60000) return std::nullopt;
    if (hemisphere != positive && hemisphere != negative) return std::nullopt;
    const double value = degrees + milliMinutes / 60000.0;
    if (value > maxDegrees) return std::nullopt;
    return hemisphere == positive ? value : -value;
}

}  // namespace

std::optional<Fix> parseBRecord(std::string_view line) {
    if (line.size() < kBRecordLength || line[0] != 'B') return std::nullopt;
    const int hours = digits(line, 1, 2);
    const int minutes = digits(line, 3, 2);
    const int seconds = digits(line, 5, 2);
    if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59)
        return std::nullopt;
    const auto latitude = angle(line, 7, 2, 'N', 'S', 90);
    const auto longitude = angle(line, 15, 3, 'E', 'W', 180);
    const char validity = line[24];
    const auto pressure = altitude(line, 25);
    const auto gnss = altitude(line, 30);
    if (!latitude || !longitude || (validity != 'A' && validity != 'V') || !pressure || !gnss)
        return std::nullopt;
    Fix fix;
    fix.time = (hours * 60 + minutes) * 60 + seconds;
    fix.latitude = *latitude;
    fix.longitude = *longitude;
    fix.valid = validity == 'A';
    fix.pressureAltitude = *pressure;
    fix.gnssAltitude = *gnss;
    return fix;
}

namespace {

class FixCollector {
public:
    void add(std::string_view line) {
        auto fix = parseBRecord(line);
        if (!fix) return;
        if (!fixes_.empty() && fix->time + dayOffset_ < fixes_.back().time - kSecondsPerDay / 2)
            dayOffset_ += kSecondsPerDay;
        fix->time += dayOffset_;
        fixes_.push_back(*fix);
    }
    std::vector<Fix> take() { return std::move(fixes_); }

private:
    std::vector<Fix> fixes_;
    int dayOffset_ = 0;
};

}  // namespace

std::vector<Fix> fixesOf(std::span<const std::string> lines) {
    FixCollector collector;
    for (const std::string& line : lines) collector.add(line);
    return collector.take();
}

std::vector<Fix> fixesOfIgcText(std::string_view text) {
    FixCollector collector;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        collector.add(text.substr(start, end - start));
        start = end + 1;
    }
    return collector.take();
}

}  // namespace qr::flight

#include "logger/Evaluation.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "common/NumberConversion.h"
#include "common/Text.h"

namespace qr {

namespace {

constexpr char CR = '\r';
constexpr char LF = '\n';

// Whether text holds upperNeedle, comparing ASCII letters without regard to case.
bool containsIgnoringCase(std::string_view text, std::string_view upperNeedle) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
    return std::search(text.begin(), text.end(), upperNeedle.begin(), upperNeedle.end(),
                       [&](char a, char b) { return upper(a) == b; }) != text.end();
}

// Characters 17 to 24 (1-based) of a "DATAFLASH USED" line, fewer when it is shorter.
std::string_view dataflashField(std::string_view line) {
    return line.substr(std::min<std::size_t>(16, line.size()), 8);
}

}  // namespace

int evaluateStatus(std::string& receiveBuffer, LineBuffer& lines, int& dataflashUsed,
                   EvaluationObserver& observer) {
    const std::string& buffer = receiveBuffer;
    const double initialLength = static_cast<double>(buffer.size());
    std::size_t begin = 0;  // start of what has not been taken yet
    std::size_t scan = 0;   // where the search for the next CR LF starts
    int n = 0;
    try {
        for (std::size_t p = buffer.find(CR, scan); p != std::string::npos;
             p = buffer.find(CR, scan)) {
            if (p + 1 >= buffer.size()) break;  // a CR at the very end ends no line
            if (buffer[p + 1] != LF) {
                scan = p + 1;
                continue;
            }
            ++n;
            const std::string_view line(buffer.data() + begin, p - begin);
            lines.store(n, line);
            if (containsIgnoringCase(line, "DATAFLASH USED"))
                dataflashUsed = StrToInt(dataflashField(line));
            if (containsIgnoringCase(line, "GLIDERID")) observer.gliderIdFound();
            begin = p + 2;
            const double remaining = static_cast<double>(buffer.size() - begin);
            observer.lineTaken(
                n, static_cast<int>(std::trunc((1.0 - remaining / initialLength) * 100.0 + 0.5)));
            observer.showLine(line);
            // The scan goes on at the second byte of the rest: a CR LF right at its front
            // is not an empty line but the start of the next one.
            scan = begin + 1;
        }
    } catch (...) {
        receiveBuffer.erase(0, begin);
        throw;
    }
    receiveBuffer.erase(0, begin);
    lines.setCount(n);
    return n;
}

int displayDecimation(std::size_t downloadBytes) {
    return static_cast<int>(std::max<std::size_t>(1, downloadBytes / 12500));
}

int evaluateDownload(const std::string& receiveBuffer, LineBuffer& lines,
                     EvaluationObserver& observer) {
    const std::string& buffer = receiveBuffer;
    const int k = displayDecimation(buffer.size());
    std::size_t start = 0;
    int n = 0;
    int since = 0;  // lines since the last line shown
    for (std::size_t p = buffer.find(CR); p != std::string::npos; p = buffer.find(CR, p + 1)) {
        if (p + 1 >= buffer.size() || buffer[p + 1] != LF) continue;
        ++n;
        ++since;
        std::string& line = lines.store(n, std::string_view(buffer.data() + start, p - start));
        if (startsWith(line, "AQVD") || startsWith(line, "AXQV")) line.replace(0, 4, "AXVN ");
        // The position of the CR, counted from 1, as a share of the answer.
        observer.lineTaken(
            n, static_cast<int>((static_cast<std::uint64_t>(p + 1) * 100) / buffer.size()));
        if (since == k || !startsWith(line, "B")) {
            observer.showLine(line);
            since = 0;
        }
        start = p + 2;
    }
    lines.setCount(n);
    return n;
}

std::int64_t downloadProgress(std::size_t receivedBytes, int dataflashUsed) {
    if (dataflashUsed <= 0) return 0;
    return static_cast<std::int64_t>(receivedBytes) * 100 /
           (static_cast<std::int64_t>(dataflashUsed) * 623);
}

}  // namespace qr

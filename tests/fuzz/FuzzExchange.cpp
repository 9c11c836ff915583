// The status and download evaluations over arbitrary logger bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/Errors.h"
#include "logger/Evaluation.h"

namespace {

std::size_t countCrLf(const std::string& bytes) {
    std::size_t n = 0;
    for (std::size_t at = bytes.find("\r\n"); at != std::string::npos;
         at = bytes.find("\r\n", at + 2))
        ++n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string answer(reinterpret_cast<const char*>(data), size);
    qr::NullEvaluationObserver quiet;

    // Download mode: every CR LF ends a line; the answer is left as it came.
    qr::LineBuffer lines;
    const int count = qr::evaluateDownload(answer, lines, quiet);
    if (static_cast<std::size_t>(count) != countCrLf(answer) || lines.count() != count)
        std::abort();
    for (int n = 1; n <= count; ++n)
        if (lines.line(n).find("\r\n") != std::string::npos) std::abort();

    // Status mode over the same bytes, into the same buffer as the program does.
    std::string receive = answer;
    int dataflashUsed = 0;
    try {
        const int taken = qr::evaluateStatus(receive, lines, dataflashUsed, quiet);
        if (taken < 0 || receive.size() > answer.size()) std::abort();
        // What stays behind holds no complete line past its first byte.
        if (receive.size() > 1 && receive.find("\r\n", 1) != std::string::npos) std::abort();
    } catch (const qr::EConvertError&) {
    }
    return 0;
}

#pragma once
// Evaluating a collected logger answer: splitting it at CR LF into the line buffer, in
// status mode (answers to the on, off, status and delete commands) or in download mode
// (the track memory). Plain functions over bytes; what the window shows is reported
// through an observer.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "logger/LineBuffer.h"

namespace qr {

// What an evaluation reports while it goes. The window shows it; tests record it or
// pass the do-nothing observer.
class EvaluationObserver {
public:
    virtual ~EvaluationObserver() = default;
    // Line n has been taken; percent is the new position of the progress bar (0 to 100).
    virtual void lineTaken(int n, int percent) = 0;
    // The next line the memo shows (in download mode only every k-th B record).
    virtual void showLine(std::string_view line) = 0;
    // A status line names the glider ID: the commands that need a known logger may run.
    virtual void gliderIdFound() = 0;
};

class NullEvaluationObserver : public EvaluationObserver {
public:
    void lineTaken(int, int) override {}
    void showLine(std::string_view) override {}
    void gliderIdFound() override {}
};

// Status mode. Takes every line ended by CR LF from the front of receiveBuffer into lines,
// numbered from 1, and removes it with its CR LF. After a line the scan resumes at the
// second byte of what remains, so an empty line is not a line of its own: its CR LF stays
// in front of the next line (only the first line of an answer can be empty). A line that
// holds "DATAFLASH USED" (any case) sets dataflashUsed from its characters 17 to 24.
// Whatever follows the last CR LF stays in receiveBuffer. Returns the line count, which
// it also stores in lines.
// Throws EConvertError when that number field breaks the number rule: the failing line
// stays stored and in receiveBuffer, the lines before it are gone from receiveBuffer, and
// the line count is left as it was.
int evaluateStatus(std::string& receiveBuffer, LineBuffer& lines, int& dataflashUsed,
                   EvaluationObserver& observer);

// Display decimation of a download of the given size: only every k-th B record is shown,
// k growing by one for each 12500 bytes, at least 1.
int displayDecimation(std::size_t downloadBytes);

// Download mode. Splits receiveBuffer (left unchanged) at CR LF into lines, empty lines
// included, rewriting a line that begins with "AQVD" or "AXQV" to begin with "AXVN ".
// Shows every line that is not a B record and, within a run of B records, every k-th
// one counted from the last line shown. Returns the line count, also stored in lines.
int evaluateDownload(const std::string& receiveBuffer, LineBuffer& lines,
                     EvaluationObserver& observer);

// The track split is offered after a download of more lines than this.
inline constexpr int kTrackSplitMinimumLines = 16;

// Progress while a download arrives: each unit of the dataflash-used value stands for
// 623 bytes of track memory. Not capped: the progress bar shows 100 and more as full.
std::int64_t downloadProgress(std::size_t receivedBytes, int dataflashUsed);

}  // namespace qr

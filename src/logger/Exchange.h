#pragma once
// The main window's side of the conversation with the logger, without the window: the
// receive buffer, the mode flag, the dataflash-used value and the line buffer, and the
// evaluation of an answer in the mode the flag selects.
#include <cstddef>
#include <string>
#include <string_view>

#include "logger/Evaluation.h"
#include "logger/LineBuffer.h"

namespace qr {

class Exchange {
public:
    enum class Mode { Status, Download };

    // The first step of every command: status mode, nothing received yet.
    void prepareCommand();
    void setDownloadMode() { mode_ = Mode::Download; }
    Mode mode() const { return mode_; }
    bool downloadMode() const { return mode_ == Mode::Download; }

    // Bytes read from the port, in arrival order.
    void receive(std::string_view bytes) { receiveBuffer_.append(bytes); }
    const std::string& receiveBuffer() const { return receiveBuffer_; }

    int dataflashUsed() const { return dataflashUsed_; }
    void setDataflashUsed(int value) { dataflashUsed_ = value; }

    const LineBuffer& lineBuffer() const { return lines_; }

    struct Result {
        Mode mode;
        int lineCount;
        int decimation;  // download mode; 1 in status mode
    };
    // Evaluates a non-empty receive buffer in the current mode (see evaluateStatus and
    // evaluateDownload, also for what it throws).
    Result evaluate(EvaluationObserver& observer);

private:
    std::string receiveBuffer_;
    Mode mode_ = Mode::Status;
    int dataflashUsed_ = 0;
    LineBuffer lines_;
};

}  // namespace qr

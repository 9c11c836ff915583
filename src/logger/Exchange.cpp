#include "logger/Exchange.h"

namespace qr {

void Exchange::prepareCommand() {
    mode_ = Mode::Status;
    receiveBuffer_.clear();
}

Exchange::Result Exchange::evaluate(EvaluationObserver& observer) {
    if (mode_ == Mode::Download) {
        const int k = displayDecimation(receiveBuffer_.size());
        return {mode_, evaluateDownload(receiveBuffer_, lines_, observer), k};
    }
    return {mode_, evaluateStatus(receiveBuffer_, lines_, dataflashUsed_, observer), 1};
}

}  // namespace qr

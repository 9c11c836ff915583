#include "logger/ExchangeSession.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <thread>

#include "common/Delay.h"
#include "logger/LoggerCommands.h"

namespace qr {

namespace {

// How long one pass of the collection loop waits when nothing has arrived.
constexpr auto kCollectPollInterval = std::chrono::milliseconds(3);
// Each unit of the dataflash-used value stands for this many bytes of track memory.
constexpr std::int64_t kDataflashUnitBytes = 623;

TComBaudrate comBaudrate(int bitsPerSecond) {
    switch (bitsPerSecond) {
        case 9600:
            return TComBaudrate::br9600;
        case 19200:
            return TComBaudrate::br19200;
        case 38400:
            return TComBaudrate::br38400;
        case 57600:
            return TComBaudrate::br57600;
        case 115200:
            return TComBaudrate::br115200;
        default:
            return TComBaudrate::br4800;
    }
}

}  // namespace

ExchangeSession::ExchangeSession(QObject* parent) : QObject(parent), timer_(new QTimer(this)) {
    observer_ = &quiet_;
    setObjectName("ExchangeSession");
    timer_->setObjectName("Timer1");
    timer_->setInterval(kDownloadWaitMs);
    connect(timer_, &QTimer::timeout, this, [this] { guard([this] { finishAnswer(); }); });

    port_.setDeviceName("COM%d");
    port_.setBaudrate(TComBaudrate::br4800);
    TComFlowControl& flow = port_.FlowControl();
    flow.BeginUpdate();
    flow.setOutCtsFlow(false);
    flow.setOutDsrFlow(false);
    flow.setControlDtr(TComDtrControl::dtrDisabled);
    flow.setControlRts(TComRtsControl::rtsDisabled);
    flow.setXonXoffOut(false);
    flow.setXonXoffIn(false);
    flow.setDsrSensitivity(false);
    flow.setTxContinueOnXoff(false);
    flow.EndUpdate();
    port_.setEventPriority(TThreadPriority::tpHigher);
    port_.setWritePriority(TThreadPriority::tpHigher);
    port_.OnRxChar = [this](TCustomComPort&, int) { guard([this] { collectAnswer(); }); };
    port_.OnError = [this](TCustomComPort&, int errors) {
        guard([this, errors] { lineError(errors); });
    };
}

// The port's threads stop before the timer and the observer go.
ExchangeSession::~ExchangeSession() {
    port_.OnRxChar = nullptr;
    port_.OnError = nullptr;
    if (port_.IsOpen()) port_.Close();
}

void ExchangeSession::setObserver(ExchangeObserver* observer) {
    observer_ = observer ? observer : &quiet_;
}

void ExchangeSession::setGuard(Guard guard) {
    guard_ = std::move(guard);
}

void ExchangeSession::guard(const std::function<void()>& entry) {
    if (!runGuarded(guard_, entry, entryError_)) settled_ = true;
}

void ExchangeSession::send(const char* sentence) {
    port_.WriteText(sentence);  // the result is not examined
}

void ExchangeSession::send(const std::string& sentence) {
    port_.WriteText(sentence);
}

bool ExchangeSession::prepareLink() {
    exchange_.prepareCommand();
    if (port_.IsOpen()) return false;
    port_.Open();
    send(kPortGreeting);
    observer_->linkOpened();
    return true;
}

void ExchangeSession::switchToDownloadSpeed() {
    Delay(kSpeedSwitchPauseMs);
    if (const auto baud = downloadBaud(speedIndex_)) port_.setBaudrate(comBaudrate(*baud));
}

void ExchangeSession::startWait(LoggerCommand command, int waitMs) {
    timer_->setInterval(waitMs);
    timer_->start();
    observer_->answerWaitStarted(command);
}

void ExchangeSession::start(LoggerCommand command) {
    switch (command) {
        case LoggerCommand::Status:
            prepareLink();
            send(kCommandStatus);
            startWait(command, kStatusWaitMs);
            break;
        case LoggerCommand::Download:
            prepareLink();
            exchange_.setDownloadMode();
            startWait(command, kDownloadWaitMs);
            send(downloadCommand(speedIndex_));
            switchToDownloadSpeed();
            break;
        case LoggerCommand::Delete:
            prepareLink();
            send(kCommandDelete);
            startWait(command, kDeleteWaitMs);
            break;
        case LoggerCommand::On:
            prepareLink();
            send(kCommandOn);
            break;
        case LoggerCommand::Off:
            prepareLink();
            send(kCommandOff);
            break;
    }
}

AnswerOutcome ExchangeSession::run(LoggerCommand command) {
    settled_ = false;
    entryError_ = nullptr;
    outcome_ = AnswerOutcome{};
    start(command);
    if (command == LoggerCommand::On || command == LoggerCommand::Off) {
        // The window does not wait here; a front end without one lets the sentence go out
        // and takes an answer that begins meanwhile.
        timer_->setInterval(kStatusWaitMs);
        timer_->start();
    }
    while (!settled_) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    if (entryError_) std::rethrow_exception(std::exchange(entryError_, nullptr));
    return outcome_;
}

void ExchangeSession::collectAnswer() {
    using clock = std::chrono::steady_clock;
    timer_->stop();
    auto lastReceive = clock::now();
    do {
        const std::string piece = port_.ReadText();
        QCoreApplication::processEvents();
        if (piece.empty()) {
            std::this_thread::sleep_for(kCollectPollInterval);
            continue;
        }
        lastReceive = clock::now();
        exchange_.receive(piece);
        ExchangeProgress progress;
        progress.pieceBytes = piece.size();
        progress.receivedBytes = exchange_.receiveBuffer().size();
        progress.expectedBytes = exchange_.dataflashUsed() * kDataflashUnitBytes;
        if (exchange_.dataflashUsed() > 0 && exchange_.downloadMode())
            progress.percent =
                downloadProgress(exchange_.receiveBuffer().size(), exchange_.dataflashUsed());
        observer_->received(progress);
    } while (clock::now() - lastReceive <= kQuietTime);
    finishAnswer();
}

void ExchangeSession::finishAnswer() {
    observer_->answerClosing();
    timer_->stop();
    timer_->setInterval(kDownloadWaitMs);
    AnswerOutcome outcome;
    outcome.mode = exchange_.mode();
    // The port knows when the device hung up during the answer, at any speed (its report
    // of it comes after this handler); switching back to 4800 baud fails on a device that
    // is gone, too. What came is still evaluated, except a download.
    outcome.hungUp = port_.HungUp();
    try {
        port_.setBaudrate(TComBaudrate::br4800);
    } catch (const EComPortError&) {
        outcome.hungUp = true;
    }

    statusRaw_.clear();
    if (exchange_.receiveBuffer().empty()) {
        outcome.end = AnswerOutcome::End::NoAnswer;
    } else if (outcome.hungUp && exchange_.downloadMode()) {
        // A track memory cut off by a hang-up is no download: the line buffer keeps the last
        // complete answer.
        outcome.end = AnswerOutcome::End::Discarded;
    } else {
        outcome.end = AnswerOutcome::End::Evaluated;
        if (!exchange_.downloadMode()) statusRaw_ = exchange_.receiveBuffer();
        outcome.decimation =
            exchange_.downloadMode() ? displayDecimation(exchange_.receiveBuffer().size()) : 1;
        observer_->evaluationStarting(outcome.mode, outcome.decimation);
        linesFromDownload_ = exchange_.downloadMode();  // the evaluation writes the lines
        Exchange::Result result{};
        try {
            result = exchange_.evaluate(*observer_);
        } catch (...) {
            observer_->evaluationFinished();  // what was taken so far stays visible
            throw;
        }
        observer_->evaluationFinished();
        outcome.lineCount = result.lineCount;
    }
    outcome_ = outcome;
    observer_->answerEnded(outcome);
    settled_ = true;
    if (outcome.hungUp) lose(outcome.end == AnswerOutcome::End::Discarded);
}

void ExchangeSession::lineError(int errors) {
    observer_->lineErrors(errors);
    // The component reports a device that hung up (a USB adapter pulled out) this way, once.
    if ((errors & CE_IOE) && port_.IsOpen()) {
        outcome_.hungUp = true;
        lose(false);
    }
}

void ExchangeSession::lose(bool downloadDiscarded) {
    // The next command opens the port afresh and reports if the device is still missing.
    if (port_.IsOpen()) port_.Close();
    settled_ = true;
    observer_->linkLost(downloadDiscarded);
}

const std::string& ExchangeSession::rawAnswer() const {
    return exchange_.downloadMode() ? exchange_.receiveBuffer() : statusRaw_;
}

void ExchangeSession::close() {
    if (port_.IsOpen()) port_.Close();
}

}  // namespace qr

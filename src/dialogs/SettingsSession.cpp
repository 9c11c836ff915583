#include "dialogs/SettingsSession.h"

#include <QCoreApplication>
#include <QTimer>

namespace qr {

namespace {

constexpr int kQuietMs = 100;  // of quiet that end the wait for an answer

}  // namespace

SettingsSession::SettingsSession(QObject* parent) : QObject(parent), timer_(new QTimer(this)) {
    observer_ = &quiet_;
    setObjectName("SettingsSession");
    timer_->setObjectName("Timer1");
    timer_->setInterval(kQuietMs);
    timer_->setTimerType(Qt::PreciseTimer);  // never a tick before the 100 ms are over
    connect(timer_, &QTimer::timeout, this, [this] { guard([this] { pacingTick(); }); });
    createPort();
}

SettingsSession::~SettingsSession() {
    // Nothing may reach an owner that is going away: stop the pacing, drop receive events
    // and stop the port's threads while the session is still whole.
    closing_ = true;
    timer_->stop();
    port_.reset();
}

void SettingsSession::setObserver(SettingsSessionObserver* observer) {
    observer_ = observer ? observer : &quiet_;
}

void SettingsSession::setGuard(Guard guard) {
    guard_ = std::move(guard);
}

void SettingsSession::setDeviceResolver(DeviceResolver resolver) {
    resolver_ = std::move(resolver);
    if (port_) port_->setDeviceResolver(resolver_);
}

void SettingsSession::guard(const std::function<void()>& entry) {
    runGuarded(guard_, entry, entryError_);
}

void SettingsSession::createPort() {
    port_ = std::make_unique<TComPort>();
    port_->setDeviceName("COM%d");
    port_->setBaudrate(TComBaudrate::br4800);
    if (resolver_) port_->setDeviceResolver(resolver_);
    port_->OnRxChar = [this](TCustomComPort&, int) { guard([this] { received(); }); };
    port_->OnError = [this](TCustomComPort&, int errors) {
        guard([this, errors] { lineError(errors); });
    };
}

void SettingsSession::send(const TransferTable& table, int comNumber) {
    if (!port_) createPort();  // only a session used again after closing has none
    if (!port_->IsOpen()) {
        port_->setPortNum(comNumber);
        port_->Open();
    }
    lost_ = false;
    transfer_.start(table);
    nextSentence();
}

void SettingsSession::nextSentence() {
    if (!port_ || !transfer_.pending()) return;
    const int position = transfer_.nextPosition();
    port_->WriteText(transfer_.takeNextSentence());
    // A timer that is already running keeps its phase, as a restarted send finds it.
    if (!timer_->isActive()) timer_->start();
    observer_->sentenceSent(position);
}

void SettingsSession::received() {
    if (closing_ || !port_) return;
    timer_->stop();
    const std::size_t length = transfer_.collect(port_->ReadText());
    observer_->answerGrowing(length);
    timer_->start();  // the 100 ms run from the last received bytes
}

void SettingsSession::lineError(int errors) {
    // The port stays open but dead after a hang-up: the remaining sentences would go nowhere
    // and each would be reported as a silent logger. Sending again opens the port afresh.
    if (closing_ || !port_ || !(errors & CE_IOE)) return;
    timer_->stop();
    transfer_.takeAnswer();  // a piece of an answer, cut off
    const int number = port_->PortNum();
    if (port_->IsOpen()) port_->Close();
    lost_ = true;
    observer_->linkLost(number);
}

void SettingsSession::pacingTick() {
    const std::string answer = transfer_.takeAnswer();
    observer_->answered(answer);
    timer_->stop();
    if (transfer_.pending()) nextSentence();
}

bool SettingsSession::runTransfer(const TransferTable& table, int comNumber) {
    entryError_ = nullptr;
    send(table, comNumber);
    while (!lost_ && !entryError_ && (transfer_.pending() || timer_->isActive()))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    if (entryError_) std::rethrow_exception(std::exchange(entryError_, nullptr));
    return !lost_;
}

void SettingsSession::close() {
    closing_ = true;
    timer_->stop();
    // Closing serves a receive event that is waiting; it is dropped (closing_).
    std::unique_ptr<TComPort> port = std::move(port_);
    if (port && port->IsOpen()) port->Close();
}

}  // namespace qr

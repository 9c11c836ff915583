#include "logger/TZelmor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <algorithm>
#include <exception>
#include <optional>

#include "app/AppContext.h"
#include "app/SettingsStore.h"
#include "app/Translation.h"
#include "app/WindowPlacement.h"
#include "app/ZelmorSettings.h"
#include "common/Delay.h"
#include "common/QtLatin1.h"
#include "dialogs/TSetQVD.h"
#include "logger/LoggerCommands.h"
#include "logger/MemoAppender.h"

namespace qr {

namespace {

const QString kSubkey = QString::fromLatin1(zelmor::kSubkey);
constexpr int kPauseAfterClose = 500;

struct PortErrorText {
    int flag;
    const char* text;
};
// In the order the flags are examined.
constexpr PortErrorText kPortErrorTexts[] = {
    {CE_BREAK, "The hardware detected a break condition."},
    {CE_DNS, "Windows 95 only: A parallel device is not selected."},
    {CE_FRAME, "The hardware detected a framing error."},
    {CE_IOE, "An I/O error occurred during communications with the device."},
    {CE_MODE, "The requested mode is not supported."},
    {CE_OOP, "Windows 95 only: A parallel device signaled that it is out of paper."},
    {CE_OVERRUN, "A character-buffer overrun has occurred. The next character is lost."},
    {CE_PTO, "Windows 95 only: A time-out occurred on a parallel device."},
    {CE_RXOVER, "An input buffer overflow has occurred."},
    {CE_RXPARITY, "The hardware detected a parity error."},
    {CE_TXFULL, "Transmit buffer overflow."},
};

}  // namespace

// What the exchange session reports, on the window's controls: the progress, the records
// counted, the memo's new lines (built once per evaluation and handed to the memo in one
// piece), the glider ID, and the end of each answer.
class TZelmor::SessionView : public ExchangeObserver {
public:
    explicit SessionView(TZelmor& window) : window_(window) {}

    void linkOpened() override {
        TZelmor& w = window_;
        w.ComboBoxCom->hide();
        w.setCaption(w.Label3, w.translated("Verbunden mit") + " " +
                                   w.ComboBoxCom->itemText(w.ComboBoxCom->currentIndex()));
        w.Label3->show();
        w.placeLabel3();
    }

    void answerWaitStarted(LoggerCommand command) override {
        TZelmor& w = window_;
        if (command != LoggerCommand::Delete) {
            w.Startlesen();
            return;
        }
        w.Memo1->clear();
        w.ButtonDisable();
        w.setPanel(0, "Warten auf Antwort von Quendarix");
    }

    void received(const ExchangeProgress& progress) override {
        TZelmor& w = window_;
        w.setPanel(0, w.panelTitles_[0] + ": " + QString::number(progress.pieceBytes));
        w.setPanel(1, w.panelTitles_[1] + ": " + QString::number(progress.receivedBytes));
        if (progress.expectedBytes > 0) {
            w.ProgressBar1->show();
            if (progress.percent >= 0)
                w.ProgressBar1->setValue(
                    static_cast<int>(std::min<std::int64_t>(100, progress.percent)));
        }
    }

    void answerClosing() override {
        window_.setPanel(0, window_.panelTitles_[0] + ": 0");
        window_.ProgressBar1->show();
    }

    void evaluationStarting(Exchange::Mode mode, int decimation) override {
        TZelmor& w = window_;
        if (mode == Exchange::Mode::Download && decimation > 1) {
            w.setCaption(w.Label2, w.translated("nur jeder") + " " + QString::number(decimation) +
                                       ". " + w.translated("B-Record wird hier angezeigt") + "!");
            w.Label2->show();
        }
        memo_.emplace(kMemoCapacity,
                      static_cast<std::size_t>(w.Memo1->document()->characterCount() - 1));
        lines_ = 0;
        percent_ = -1;
    }

    void lineTaken(int n, int percent) override {
        lines_ = n;
        // The window is not repainted during an evaluation: only the last values show,
        // so the controls are touched once per percent instead of once per line.
        if (percent != percent_) {
            percent_ = percent;
            window_.ProgressBar1->setValue(std::clamp(percent, 0, 100));
            showCount();
        }
    }
    void showLine(std::string_view line) override { memo_->add(line); }
    void gliderIdFound() override {
        window_.ButtonStart->setEnabled(true);
        window_.ButtonSet->setEnabled(true);
        window_.ButtonDel->setEnabled(true);
    }

    // Hands the collected memo text over; also when the evaluation ended with an error.
    void evaluationFinished() override {
        if (lines_ > 0) showCount();
        if (memo_->clearFirst()) window_.Memo1->clear();
        if (!memo_->text().empty()) window_.appendMemoText(fromLatin1Bytes(memo_->text()));
        memo_.reset();
    }

    void answerEnded(const AnswerOutcome& outcome) override {
        TZelmor& w = window_;
        w.keepDownload(outcome);
        switch (outcome.end) {
            case AnswerOutcome::End::NoAnswer:
                w.Memo1->setPlainText(w.translated("Quendarix antwortet nicht") + "!!!\n");
                break;
            case AnswerOutcome::End::Discarded:
                // The line buffer keeps the last complete answer, and the way to its track
                // list stays open as it was.
                w.Memo1->setPlainText(
                    w.translated("Übertragung unterbrochen, unvollständige Tracks verworfen") +
                    "!!!\n");
                w.ButtonAuswertung->setVisible(w.session_->linesFromDownload() &&
                                               w.lineCount() >= kTrackSplitMinimumLines);
                break;
            case AnswerOutcome::End::Evaluated:
                if (outcome.mode == Exchange::Mode::Download)
                    w.ButtonAuswertung->setVisible(outcome.lineCount >= kTrackSplitMinimumLines);
                break;
        }
        for (QPushButton* button :
             {w.ButtonDel, w.ButtonStart, w.ButtonBAT, w.ButtonSet, w.ButtonOn, w.ButtonOff})
            button->show();
        w.ComboBoxBaud->show();
        w.ProgressBar1->hide();
    }

    void lineErrors(int errors) override { window_.showLineErrors(errors); }
    void linkLost(bool downloadDiscarded) override { window_.linkLost(downloadDiscarded); }

private:
    void showCount() {
        window_.setCaption(window_.Label1, window_.translated("Records ausgewertet") + ": " +
                                               QString::number(lines_));
    }

    TZelmor& window_;
    std::optional<MemoAppender> memo_;
    int lines_ = 0;
    int percent_ = -1;
};

TZelmor::TZelmor(AppContext& context, QWidget* parent) : QMainWindow(parent), context_(context) {
    setObjectName("Zelmor");
    setWindowTitle("Quendarix Reader Vers. 1.1");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFont(QFont("MS Sans Serif", 8));
    setFixedSize(790, 513);
    createControls();
    connectTrackList();
    connectWriter();

    view_ = std::make_unique<SessionView>(*this);
    session_ = std::make_unique<ExchangeSession>(this);
    session_->setObserver(view_.get());
    session_->setGuard([this](const std::function<void()>& entry) { guarded(context_, entry)(); });
    FormResize();
}

TZelmor::~TZelmor() {
    session_.reset();  // the port's threads stop while the controls are whole
    // The port box's line edit ends its typing when it loses the focus, which it also does
    // while the window's children are destroyed: by then no handler of this window may run.
    if (ComboBoxCom && ComboBoxCom->lineEdit()) ComboBoxCom->lineEdit()->disconnect(this);
}

// ---- window events ----

void TZelmor::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_ || event->spontaneous()) return;
    shownOnce_ = true;
    centreOnScreen(this);
    guarded(context_, [this] { FormShow(); })();
}

void TZelmor::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    guarded(context_, [this] { FormResize(); })();
}

void TZelmor::closeEvent(QCloseEvent* event) {
    guarded(context_, [this] { FormClose(); })();
    QMainWindow::closeEvent(event);
}

void TZelmor::FormShow() {
    TranslateForm(this);
    const auto& language = context_.state().language;
    if (!language.fontName.empty()) {
        const QString face = QString::fromLatin1(language.fontName.c_str());
        QFont windowFont = font();
        windowFont.setFamily(face);
        setFont(windowFont);
        QFont memoFont = Memo1->font();
        memoFont.setFamily(face);
        Memo1->setFont(memoFont);
    }

    SettingsStore& settings = context_.openSettings();
    testFlag_ = settings.readInteger(kSubkey, zelmor::kTest.name,
                                     zelmor::defaultNumber(zelmor::kTest)) != 0;

    ComboBoxBaud->clear();
    for (const char* text : kSpeedTexts) ComboBoxBaud->addItem(text);
    const int speed = zelmor::inRange(  // out of range: 57600 bps
        zelmor::kComSpeed, settings.readInteger(kSubkey, zelmor::kComSpeed.name,
                                                zelmor::defaultNumber(zelmor::kComSpeed)));
    ComboBoxBaud->setCurrentIndex(speed);

    ComboBoxCom->clear();
    ComboBoxCom->addItem("COM ???");
    for (int i = 1; i <= zelmor::kComPort.maximum; ++i)
        ComboBoxCom->addItem("COM " + QString::number(i));
    describePorts();
    const int port = zelmor::inRange(zelmor::kComPort,
                                     settings.readInteger(kSubkey, zelmor::kComPort.name,
                                                          zelmor::defaultNumber(zelmor::kComPort)));
    ComboBoxCom->setCurrentIndex(port);

    ComChange();

    session_->exchange().setDataflashUsed(0);
    setCaption(Label1, "");

    panelTitles_ = {translated("Bytes im Puffer"), translated("Bytes empfangen"),
                    translated("Fehlermeldungen")};
    for (int i = 0; i < 3; ++i) setPanel(i, panelTitles_[i]);
}

void TZelmor::FormClose() {
    session_->close();
}

// ---- port and speed choice ----

void TZelmor::ComChange() {
    TComPort& port = session_->port();
    if (port.IsOpen()) {
        port.Close();
        Delay(kPauseAfterClose);
    }
    try {
        const int number = ComboBoxCom->currentIndex();
        port.setPortNum(number);
        context_.settings().writeInteger(kSubkey, zelmor::kComPort.name, number);
        port.Open();
        setCommandButtonsVisible(true);
    } catch (const std::exception&) {
        // Not shown: the red "COM ???" says that the port cannot be used.
        ComboBoxCom->setCurrentIndex(0);
        ComboBoxCom->setEditText("COM ???");
        setCommandButtonsVisible(false);
    }
    QPalette palette = ComboBoxCom->palette();
    const QColor colour = ComboBoxCom->currentIndex() == 0
                              ? QColor(Qt::red)
                              : QApplication::palette(ComboBoxCom).color(QPalette::Text);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::ButtonText, colour);
    ComboBoxCom->setPalette(palette);
    session_->close();
    Delay(kPauseAfterClose);
}

void TZelmor::ComboBoxBaudClick() {
    const int index = ComboBoxBaud->currentIndex();
    context_.settings().writeInteger(kSubkey, zelmor::kComSpeed.name, index);
    Memo1->clear();
    if (index == 5)
        addMemoLine(
            "*** " +
            translated("Baudrate 115200 erfordert Quendarix Firmware Version 2.2 oder höher") +
            " ***");
}

// ---- the commands ----

void TZelmor::checkCOM() {
    session_->prepareLink();
}

void TZelmor::ButtonDisable() {
    for (QPushButton* button :
         {ButtonDel, ButtonStart, ButtonBAT, ButtonAuswertung, ButtonSet, ButtonOn, ButtonOff})
        button->hide();
    Label2->hide();
    ComboBoxBaud->hide();
}

void TZelmor::Startlesen() {
    Memo1->clear();
    ButtonDisable();
    setCaption(Label1, "");
    setCaption(Label2, "");
    setPanel(0, translated("Warten auf Antwort von Quendarix"));
    setPanel(2, "");
}

void TZelmor::RcvBaud() {
    session_->setSpeedIndex(ComboBoxBaud->currentIndex());
    session_->switchToDownloadSpeed();
}

void TZelmor::ButtonBATClick() {
    memoFont8();
    ButtonStart->setEnabled(false);
    ButtonSet->setEnabled(false);
    ButtonDel->setEnabled(false);
    session_->start(LoggerCommand::Status);
}

void TZelmor::ButtonStartClick() {
    memoFont8();
    session_->setSpeedIndex(ComboBoxBaud->currentIndex());
    session_->start(LoggerCommand::Download);
}

void TZelmor::ButtonDelClick() {
    memoFont8();
    if (!context_.prompts().confirmOkCancel(
            this, translated("Löschen bestätigen"),
            translated("Sollen alle Trackdaten im Logger wirklich gelöscht werden") + "?"))
        return;
    session_->start(LoggerCommand::Delete);
}

void TZelmor::ButtonOnClick() {
    session_->start(LoggerCommand::On);
    memoFont8();
    Memo1->setPlainText("Schalte Quendarix ein / Reset\n");
}

void TZelmor::ButtonOffClick() {
    session_->start(LoggerCommand::Off);
    memoFont8();
    Memo1->setPlainText("Schalte Quendarix aus");
}

void TZelmor::ButtonSetClick() {
    memoFont8();
    // The settings dialog opens the same device through a port of its own.
    session_->close();
    Delay(kPauseAfterClose);
    {
        TSetQVD dialog(context_);
        context_.prompts().execModal(dialog);
    }
    ButtonOnClick();
}

// ---- receiving and evaluating ----

void TZelmor::ComPort1RxChar(int /*count*/) {
    session_->collectAnswer();
}

void TZelmor::Auswerten() {
    session_->finishAnswer();
}

void TZelmor::ComPort1Error(int errors) {
    session_->lineError(errors);
}

void TZelmor::showLineErrors(int errors) {
    if (!testFlag_) return;
    QString panel;
    for (const auto& entry : kPortErrorTexts) {
        if (!(errors & entry.flag)) continue;
        addMemoLine(entry.text);
        panel += "   " + QString(entry.text);
    }
    setPanel(2, panel);
}

void TZelmor::linkLost(bool downloadDiscarded) {
    const QString consequence =
        downloadDiscarded ? translated(
                                "die unvollständig empfangenen Tracks wurden verworfen, die zuvor "
                                "gelesenen Daten bleiben erhalten")
                          : translated("empfangene Daten können unvollständig sein");
    context_.reportError(translated("Die Verbindung zu Quendarix über %1 ist unterbrochen; %2. "
                                    "Bitte die Verbindung prüfen und den Befehl wiederholen.")
                             .arg(ComboBoxCom->currentText(), consequence),
                         this);
}

}  // namespace qr

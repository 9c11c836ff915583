#include "logger/TZelmor.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QStatusBar>
#include <QTextCursor>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <exception>
#include <thread>

#include "app/AppContext.h"
#include "app/ButtonPictures.h"
#include "app/Delay.h"
#include "app/SettingsStore.h"
#include "app/Translation.h"
#include "app/WindowPlacement.h"
#include "dialogs/TSetQVD.h"
#include "logger/InformationPage.h"
#include "logger/LoggerCommands.h"
#include "logger/MemoAppender.h"

namespace qr {

namespace {

const QString kSubkey = QStringLiteral("Zelmor");
constexpr int kComPortCount = 20;
constexpr int kPauseAfterClose = 500;
// How long one pass of the collection loop waits when nothing has arrived.
constexpr auto kCollectPollInterval = std::chrono::milliseconds(3);

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

QPushButton* pictureButton(QWidget* parent, const char* name, const QString& caption,
                           ButtonPicture picture, int left, int width) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setIcon(buttonIcon(picture, parent));
    button->setGeometry(left, 0, width, 25);
    return button;
}

}  // namespace

// Shows what an evaluation reports: the progress, the records counted, the memo's new
// lines (built once and handed to the memo in one piece) and the glider ID.
class TZelmor::Display : public EvaluationObserver {
public:
    explicit Display(TZelmor& window)
        : window_(window),
          memo_(kMemoCapacity,
                static_cast<std::size_t>(window.Memo1->document()->characterCount() - 1)) {}

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
    void showLine(std::string_view line) override { memo_.add(line); }
    void gliderIdFound() override {
        window_.ButtonStart->setEnabled(true);
        window_.ButtonSet->setEnabled(true);
        window_.ButtonDel->setEnabled(true);
    }

    // Hands the collected memo text over; also when the evaluation ended with an error.
    void finish() {
        if (lines_ > 0) showCount();
        if (memo_.clearFirst()) window_.Memo1->clear();
        if (!memo_.text().empty())
            window_.appendMemoText(
                QString::fromLatin1(memo_.text().data(), static_cast<int>(memo_.text().size())));
        memo_.flushed();
    }

private:
    void showCount() {
        window_.setCaption(window_.Label1, window_.translated("Records ausgewertet") + ": " +
                                               QString::number(lines_));
    }

    TZelmor& window_;
    MemoAppender memo_;
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

    ComPort1.setDeviceName("COM%d");
    ComPort1.setBaudrate(TComBaudrate::br4800);
    TComFlowControl& flow = ComPort1.FlowControl();
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
    ComPort1.setEventPriority(TThreadPriority::tpHigher);
    ComPort1.setWritePriority(TThreadPriority::tpHigher);
    ComPort1.OnRxChar = [this](TCustomComPort&, int count) {
        guarded(context_, [this, count] { ComPort1RxChar(count); })();
    };
    ComPort1.OnError = [this](TCustomComPort&, int errors) {
        guarded(context_, [this, errors] { ComPort1Error(errors); })();
    };
    FormResize();
}

TZelmor::~TZelmor() = default;

void TZelmor::createControls() {
    auto* client = new QWidget(this);
    client->setObjectName("ClientArea");
    setCentralWidget(client);

    Memo1 = new QPlainTextEdit(client);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setFocusPolicy(Qt::ClickFocus);  // no tab stop, but its text can be selected
    QFont memoFont("Courier");
    memoFont.setStyleHint(QFont::TypeWriter);
    memoFont.setPixelSize(19);
    Memo1->setFont(memoFont);
    Memo1->setPlainText("Information unter\n\n" + informationAddress());

    Label1 = new QLabel(client);
    Label1->setObjectName("Label1");
    QFont bold = font();
    bold.setBold(true);
    Label1->setFont(bold);

    Label2 = new QLabel(client);
    Label2->setObjectName("Label2");
    QPalette red = Label2->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label2->setPalette(red);
    Label2->hide();

    Label3 = new QLabel(client);
    Label3->setObjectName("Label3");
    QPalette black = Label3->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    Label3->setPalette(black);
    setCaption(Label3, "Schnittstelle");
    Label3->hide();

    ProgressBar1 = new QProgressBar(client);
    ProgressBar1->setObjectName("ProgressBar1");
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->hide();

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    const int panelWidths[3] = {200, 200, 300};
    const char* panelTexts[3] = {"Bytes im Puffer", "Bytes empfangen", "Fehlermeldungen"};
    for (int i = 0; i < 3; ++i) {
        panels_[i] = new QLabel(panelTexts[i], StatusBar1);
        panels_[i]->setObjectName(QString("StatusBar1Panel%1").arg(i));
        panels_[i]->setFixedWidth(panelWidths[i]);
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        StatusBar1->addWidget(panels_[i]);
    }
    setStatusBar(StatusBar1);

    ComboBoxCom = new QComboBox(client);
    ComboBoxCom->setObjectName("ComboBoxCom");
    ComboBoxCom->setEditable(true);
    ComboBoxCom->setInsertPolicy(QComboBox::NoInsert);
    ComboBoxCom->resize(81, 21);
    ComboBoxBaud = new QComboBox(client);
    ComboBoxBaud->setObjectName("ComboBoxBaud");
    ComboBoxBaud->setEditable(true);
    ComboBoxBaud->setInsertPolicy(QComboBox::NoInsert);
    ComboBoxBaud->resize(81, 21);
    // The boxes are narrow: keep the start of the chosen text in view, not its end.
    for (QComboBox* box : {ComboBoxCom, ComboBoxBaud})
        connect(box, &QComboBox::currentIndexChanged, box,
                [box] { box->lineEdit()->setCursorPosition(0); });

    ButtonOn = pictureButton(client, "ButtonOn", "Logger &on", ButtonPicture::LoggerOn, 24, 89);
    ButtonOff = pictureButton(client, "ButtonOff", "Logger o&ff", ButtonPicture::LoggerOff, 24, 89);
    ButtonBAT =
        pictureButton(client, "ButtonBAT", "Logger &Status lesen", ButtonPicture::Status, 136, 129);
    ButtonStart = pictureButton(client, "ButtonStart", "Logger &Tracks lesen",
                                ButtonPicture::ReadTracks, 136, 129);
    ButtonSet = pictureButton(client, "ButtonSet", "Logger &einstellen",
                              ButtonPicture::LoggerSettings, 296, 129);
    ButtonDel = pictureButton(client, "ButtonDel", "Logger Trk &löschen",
                              ButtonPicture::DeleteTracks, 296, 129);
    ButtonAuswertung = pictureButton(client, "ButtonAuswertung", "&igc-Datei speichern",
                                     ButtonPicture::TrackList, 0, 129);
    ButtonFertig = pictureButton(client, "ButtonFertig", "Fertig", ButtonPicture::Done, 0, 80);
    ButtonFertig->move(0, 136);
    OKButton = pictureButton(client, "OKButton", "&Schließen", ButtonPicture::Close, 0, 80);
    ButtonOn->hide();
    ButtonBAT->hide();
    ButtonSet->hide();
    ButtonDel->hide();
    ButtonAuswertung->hide();
    ButtonFertig->hide();

    CheckListBoxTrack = new QListWidget(client);
    CheckListBoxTrack->setObjectName("CheckListBoxTrack");
    CheckListBoxTrack->setGeometry(0, 16, 353, 145);
    CheckListBoxTrack->hide();

    CheckBoxNamen = new QCheckBox(
        "Übernehmen von Pilotennamen, Glider-Typ und Glider-ID aus dem Quendarix", client);
    CheckBoxNamen->setObjectName("CheckBoxNamen");
    CheckBoxNamen->setChecked(true);
    CheckBoxNamen->setGeometry(40, 184, 673, 17);
    CheckBoxNamen->hide();

    Memo2 = new QPlainTextEdit(client);
    Memo2->setObjectName("Memo2");
    Memo2->setReadOnly(true);
    Memo2->setFrameShape(QFrame::NoFrame);
    QPalette warning = Memo2->palette();
    warning.setColor(QPalette::Base, warning.color(QPalette::Window));
    warning.setColor(QPalette::Text, Qt::red);
    Memo2->setPalette(warning);
    Memo2->setPlainText(
        "Achtung: Wenn man diese Namen nicht übernimmt, so wird der G-Record des Quendarixs "
        "durch einen G-Record von Valdorine\n"
        "ersetzt. Dies ist für den OLC 2004 des DHV regelkonform. Strengere "
        "Dokumentationsanforderungen können dadurch eventuell\n"
        "verletzt und in der Folge die Dokumentation ungültig werden.");
    Memo2->setGeometry(56, 200, 625, 57);
    Memo2->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(kDownloadWaitMs);

    const auto on = [this](auto* sender, auto signal, auto handler) {
        connect(sender, signal, this, guarded(context_, [this, handler] { (this->*handler)(); }));
    };
    on(ComboBoxCom, &QComboBox::activated, &TZelmor::ComChange);
    on(ComboBoxBaud, &QComboBox::activated, &TZelmor::ComboBoxBaudClick);
    on(ButtonOn, &QPushButton::clicked, &TZelmor::ButtonOnClick);
    on(ButtonOff, &QPushButton::clicked, &TZelmor::ButtonOffClick);
    on(ButtonBAT, &QPushButton::clicked, &TZelmor::ButtonBATClick);
    on(ButtonStart, &QPushButton::clicked, &TZelmor::ButtonStartClick);
    on(ButtonDel, &QPushButton::clicked, &TZelmor::ButtonDelClick);
    on(ButtonSet, &QPushButton::clicked, &TZelmor::ButtonSetClick);
    on(Timer1, &QTimer::timeout, &TZelmor::Auswerten);
    connectComTyping();
    connect(OKButton, &QPushButton::clicked, this, &QWidget::close);
}

// ---- helpers ----

QString TZelmor::translated(const QString& text) const {
    return Translate(context_.state().language.name, text);
}

void TZelmor::setPanel(int index, const QString& text) {
    panels_[index]->setText(text);
}

void TZelmor::setCaption(QLabel* label, const QString& text) {
    label->setText(text);
    label->adjustSize();  // labels size themselves to their caption
}

void TZelmor::memoFont8() {
    QFont f = Memo1->font();
    f.setPointSize(8);
    Memo1->setFont(f);
}

void TZelmor::appendMemoText(const QString& piece) {
    QTextCursor cursor(Memo1->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(piece);
}

void TZelmor::addMemoLine(const QString& line) {
    const QString text = Memo1->toPlainText();
    appendMemoText((text.isEmpty() || text.endsWith('\n') ? QString() : QString("\n")) + line +
                   "\n");
}

void TZelmor::setCommandButtonsVisible(bool visible) {
    for (QPushButton* button : {ButtonOn, ButtonOff, ButtonBAT, ButtonStart, ButtonSet, ButtonDel})
        button->setVisible(visible);
}

void TZelmor::placeLabel3() {
    Label3->move(OKButton->x() + ComboBoxCom->width() - Label3->width(), Label3->y());
}

void TZelmor::send(std::string_view sentence) {
    ComPort1.WriteText(std::string(sentence));  // the result is not examined
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
    testFlag_ = settings.readInteger(kSubkey, "Test", 0) != 0;

    ComboBoxBaud->clear();
    for (const char* text : kSpeedTexts) ComboBoxBaud->addItem(text);
    int speed = settings.readInteger(kSubkey, "COM Speed", 0);
    if (speed > kSpeedCount - 1 || speed < 0) speed = 4;  // 57600 bps
    ComboBoxBaud->setCurrentIndex(speed);

    ComboBoxCom->clear();
    ComboBoxCom->addItem("COM ???");
    for (int i = 1; i <= kComPortCount; ++i) ComboBoxCom->addItem("COM " + QString::number(i));
    int port = settings.readInteger(kSubkey, "COM Port", 1);
    if (port > kComPortCount || port <= 0) port = 1;
    ComboBoxCom->setCurrentIndex(port);

    ComChange();

    exchange_.setDataflashUsed(0);
    setCaption(Label1, "");

    panelTitles_ = {translated("Bytes im Puffer"), translated("Bytes empfangen"),
                    translated("Fehlermeldungen")};
    for (int i = 0; i < 3; ++i) setPanel(i, panelTitles_[i]);
}

void TZelmor::FormResize() {
    const int W = width();
    const int H = height();
    Memo1->setGeometry(16, 8, W - 32, H - 250);
    const int memoBottom = Memo1->y() + Memo1->height();
    ProgressBar1->setGeometry(Memo1->x(), memoBottom + 8, Memo1->width(), 17);
    Label2->move(20, memoBottom + 16);
    Label1->move(20, Label2->y() + 20);
    ButtonOff->move(ButtonOff->x(), H - 56);
    ButtonOn->move(ButtonOn->x(), ButtonOff->y() - 35);
    ButtonBAT->move(ButtonBAT->x(), ButtonOn->y());
    ButtonDel->move(ButtonDel->x(), ButtonOn->y());
    for (QPushButton* button : {ButtonStart, ButtonSet, OKButton, ButtonAuswertung})
        button->move(button->x(), ButtonOff->y());
    OKButton->move(W - OKButton->width() - 16, OKButton->y());
    ButtonAuswertung->move(OKButton->x() - ButtonAuswertung->width() - 16, ButtonAuswertung->y());
    ButtonFertig->move(W - ButtonFertig->width() - 16, ButtonFertig->y());
    CheckListBoxTrack->move(ButtonFertig->x() - CheckListBoxTrack->width() - 16,
                            CheckListBoxTrack->y());
    ComboBoxCom->move(W - ComboBoxCom->width() - 16, OKButton->y() - ComboBoxCom->height() - 16);
    ComboBoxBaud->move(W - ComboBoxBaud->width() - 16,
                       ComboBoxCom->y() - ComboBoxBaud->height() - 8);
    Label3->move(Label3->x(), ComboBoxCom->y() + 4);
    placeLabel3();
}

void TZelmor::FormClose() {
    if (ComPort1.IsOpen()) ComPort1.Close();
}

// ---- port and speed choice ----

void TZelmor::ComChange() {
    if (ComPort1.IsOpen()) {
        ComPort1.Close();
        Delay(kPauseAfterClose);
    }
    try {
        const int port = ComboBoxCom->currentIndex();
        ComPort1.setPortNum(port);
        context_.settings().writeInteger(kSubkey, "COM Port", port);
        ComPort1.Open();
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
    if (ComPort1.IsOpen()) ComPort1.Close();
    Delay(kPauseAfterClose);
}

void TZelmor::ComboBoxBaudClick() {
    const int index = ComboBoxBaud->currentIndex();
    context_.settings().writeInteger(kSubkey, "COM Speed", index);
    Memo1->clear();
    if (index == 5)
        addMemoLine(
            "*** " +
            translated("Baudrate 115200 erfordert Quendarix Firmware Version 2.2 oder höher") +
            " ***");
}

// ---- the commands ----

void TZelmor::checkCOM() {
    exchange_.prepareCommand();
    if (ComPort1.IsOpen()) return;
    ComPort1.Open();
    send(kPortGreeting);
    ComboBoxCom->hide();
    setCaption(Label3, translated("Verbunden mit") + " " +
                           ComboBoxCom->itemText(ComboBoxCom->currentIndex()));
    Label3->show();
    placeLabel3();
}

void TZelmor::ButtonDisable() {
    for (QPushButton* button :
         {ButtonDel, ButtonStart, ButtonBAT, ButtonAuswertung, ButtonSet, ButtonOn, ButtonOff})
        button->hide();
    Timer1->start();
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
    Delay(kSpeedSwitchPauseMs);
    if (const auto baud = downloadBaud(ComboBoxBaud->currentIndex()))
        ComPort1.setBaudrate(comBaudrate(*baud));
}

void TZelmor::ButtonBATClick() {
    memoFont8();
    ButtonStart->setEnabled(false);
    ButtonSet->setEnabled(false);
    ButtonDel->setEnabled(false);
    checkCOM();
    Timer1->setInterval(kStatusWaitMs);
    send(kCommandStatus);
    Startlesen();
}

void TZelmor::ButtonStartClick() {
    memoFont8();
    checkCOM();
    Timer1->setInterval(kDownloadWaitMs);
    exchange_.setDownloadMode();
    Startlesen();
    send(downloadCommand(ComboBoxBaud->currentIndex()));
    RcvBaud();
}

void TZelmor::ButtonDelClick() {
    memoFont8();
    if (!context_.prompts().confirmOkCancel(
            this, translated("Löschen bestätigen"),
            translated("Sollen alle Trackdaten im Logger wirklich gelöscht werden") + "?"))
        return;
    checkCOM();
    send(kCommandDelete);
    Timer1->setInterval(kDeleteWaitMs);
    Memo1->clear();
    ButtonDisable();
    setPanel(0, "Warten auf Antwort von Quendarix");
}

void TZelmor::ButtonOnClick() {
    checkCOM();
    memoFont8();
    Memo1->setPlainText("Schalte Quendarix ein / Reset\n");
    send(kCommandOn);
}

void TZelmor::ButtonOffClick() {
    checkCOM();
    memoFont8();
    Memo1->setPlainText("Schalte Quendarix aus");
    send(kCommandOff);
}

void TZelmor::ButtonSetClick() {
    memoFont8();
    // The settings dialog opens the same device through a port of its own.
    if (ComPort1.IsOpen()) ComPort1.Close();
    Delay(kPauseAfterClose);
    {
        TSetQVD dialog(context_);
        context_.prompts().execModal(dialog);
    }
    ButtonOnClick();
}

// ---- receiving and evaluating ----

void TZelmor::ComPort1RxChar(int /*count*/) {
    using clock = std::chrono::steady_clock;
    Timer1->stop();
    auto lastReceive = clock::now();
    do {
        const std::string piece = ComPort1.ReadText();
        QCoreApplication::processEvents();
        if (piece.empty()) {
            std::this_thread::sleep_for(kCollectPollInterval);
            continue;
        }
        lastReceive = clock::now();
        exchange_.receive(piece);
        setPanel(0, panelTitles_[0] + ": " + QString::number(piece.size()));
        setPanel(1, panelTitles_[1] + ": " + QString::number(exchange_.receiveBuffer().size()));
        if (exchange_.dataflashUsed() > 0) {
            ProgressBar1->show();
            if (exchange_.downloadMode())
                ProgressBar1->setValue(static_cast<int>(
                    std::min<std::int64_t>(100, downloadProgress(exchange_.receiveBuffer().size(),
                                                                 exchange_.dataflashUsed()))));
        }
    } while (clock::now() - lastReceive <= kQuietTime);
    Auswerten();
}

void TZelmor::Auswerten() {
    setPanel(0, panelTitles_[0] + ": 0");
    ProgressBar1->show();
    Timer1->stop();
    Timer1->setInterval(kDownloadWaitMs);
    // The port knows when the device hung up during the answer, at any speed (its report
    // of it comes after this handler); switching back to 4800 baud fails on a device that
    // is gone, too.
    bool deviceFailed = ComPort1.HungUp();
    try {
        ComPort1.setBaudrate(TComBaudrate::br4800);
    } catch (const EComPortError&) {
        deviceFailed = true;
    }

    bool discarded = false;
    if (exchange_.receiveBuffer().empty()) {
        Memo1->setPlainText(translated("Quendarix antwortet nicht") + "!!!\n");
    } else if (deviceFailed && exchange_.downloadMode()) {
        // A track memory cut off by a hang-up is no download: the line buffer keeps the last
        // complete answer, and the way to its track list stays open as it was.
        Memo1->setPlainText(
            translated("Übertragung unterbrochen, unvollständige Tracks verworfen") + "!!!\n");
        ButtonAuswertung->setVisible(linesFromDownload_ && lineCount() >= kTrackSplitMinimumLines);
        discarded = true;
    } else {
        if (exchange_.downloadMode()) {
            const int k = displayDecimation(exchange_.receiveBuffer().size());
            if (k > 1) {
                setCaption(Label2, translated("nur jeder") + " " + QString::number(k) + ". " +
                                       translated("B-Record wird hier angezeigt") + "!");
                Label2->show();
            }
        }
        Display display(*this);
        Exchange::Result result{};
        linesFromDownload_ = exchange_.downloadMode();  // the evaluation writes the lines
        try {
            result = exchange_.evaluate(display);
        } catch (...) {
            display.finish();  // what was taken so far stays visible
            throw;
        }
        display.finish();
        if (result.mode == Exchange::Mode::Download)
            ButtonAuswertung->setVisible(result.lineCount >= kTrackSplitMinimumLines);
    }

    for (QPushButton* button : {ButtonDel, ButtonStart, ButtonBAT, ButtonSet, ButtonOn, ButtonOff})
        button->show();
    ComboBoxBaud->show();
    ProgressBar1->hide();
    if (deviceFailed) linkLost(discarded);
}

void TZelmor::ComPort1Error(int errors) {
    if (testFlag_) {
        QString panel;
        for (const auto& entry : kPortErrorTexts) {
            if (!(errors & entry.flag)) continue;
            addMemoLine(entry.text);
            panel += "   " + QString(entry.text);
        }
        setPanel(2, panel);
    }
    // The component reports a device that hung up (a USB adapter pulled out) this way, once.
    if ((errors & CE_IOE) && ComPort1.IsOpen()) linkLost();
}

void TZelmor::linkLost(bool downloadDiscarded) {
    // The next command opens the port afresh and reports if the device is still missing.
    if (ComPort1.IsOpen()) ComPort1.Close();
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

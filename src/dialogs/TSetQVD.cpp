#include "dialogs/TSetQVD.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/AppContext.h"
#include "app/ButtonPictures.h"
#include "app/Delay.h"
#include "app/Errors.h"
#include "app/NumberConversion.h"
#include "app/SettingsStore.h"
#include "app/WindowPlacement.h"
#include "dialogs/TypedLengthLimit.h"
#include "serial/TComPort.h"

namespace qr {

namespace {

const QString kSubkey = QStringLiteral("Zelmor");
const QString kNotSet = QStringLiteral("not set");
constexpr int kTimerInterval = 100;  // ms of quiet that end the wait for an answer
constexpr int kClosePause = 500;     // ms, so that the port is free when the main window reopens it

const char* const kAdvice[] = {
    "Die Parameter für Pilotenname, Glider-Typ und Glider-ID müssen vor dem Flug im Logger "
    "abgelegt",
    "werden, um ein vollständiges igc-File zu erzeugen.",
    "",
    "Es ist nicht zulässig diese Daten nach dem Flug zu ändern, geänderte Daten werden erst bei",
    "einem nachfolgenden Track verwendet.",
    "",
    "Die Regelungen beim DHV-OLC sind derzeit noch (?) nicht so streng, man sollte jedoch "
    "trotzdem",
    "die richtige Vorgehensweise anwenden.",
};

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, bool wrap = false) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(wrap);
    return label;
}

QLineEdit* makeEdit(QWidget* parent, const char* name, const QFont& font) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setFont(font);
    edit->setValidator(new TypedLengthLimit(static_cast<int>(kSettingsTextLength), edit));
    // Room for the 16 characters the logger keeps, and a little more.
    const QFontMetrics metrics(font);
    edit->setFixedWidth(metrics.horizontalAdvance(QString(18, QLatin1Char('W'))));
    return edit;
}

QSpinBox* makeSpin(QWidget* parent, const char* name, int minimum, int maximum, int value) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(name);
    spin->setRange(minimum, maximum);
    spin->setValue(value);
    spin->setFixedWidth(spin->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 40);
    return spin;
}

// A spin edit whose text is not a number counts as its minimum; others are kept in range.
int spinValue(const QSpinBox* spin) {
    const auto value = tryStrToInt(spin->cleanText().toLatin1().toStdString());
    if (!value) return spin->minimum();
    return std::clamp<int>(*value, spin->minimum(), spin->maximum());
}

// A stored number as the program's conversion rule reads it (throws the conversion error).
int storedInteger(const SettingsStore& store, const QString& name, const QString& defaultText) {
    return StrToInt(store.readString(kSubkey, name, defaultText).toLatin1().toStdString());
}

std::string latin1(const QString& text) {
    return text.toLatin1().toStdString();
}

// The main window's port; an unreadable value (not a text) gives the reader's default.
int storedPort(const SettingsStore& store) {
    try {
        return store.readInteger(kSubkey, "COM Port", 1);
    } catch (const ESettingsError&) {
        return 1;
    }
}

}  // namespace

TSetQVD::TSetQVD(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName("SetQVD");
    createControls();
    createPort();
    FormCreate();
}

TSetQVD::~TSetQVD() {
    // Nothing may reach a dialog that is going away: stop the pacing, drop receive events
    // and stop the port's threads while the dialog is still whole.
    closing_ = true;
    Timer1->stop();
    ComPort2.reset();
}

void TSetQVD::createControls() {
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    QFont editFont(QStringLiteral("Courier"));
    editFont.setStyleHint(QFont::TypeWriter);
    editFont.setBold(true);

    Label1 = makeLabel(this, "Label1", QStringLiteral("Pilot:"));
    Edit1 = makeEdit(this, "Edit1", editFont);
    Label2 = makeLabel(this, "Label2", QStringLiteral("Glidertype:"));
    Edit2 = makeEdit(this, "Edit2", editFont);
    Label3 = makeLabel(this, "Label3", QStringLiteral("GliderID:"));
    Edit3 = makeEdit(this, "Edit3", editFont);
    Label4 = makeLabel(this, "Label4", QStringLiteral("Reserve:"));
    Edit4 = makeEdit(this, "Edit4", editFont);
    Label4->hide();
    Edit4->hide();

    Label5 = makeLabel(this, "Label5", QStringLiteral("MinIntervall:"));
    SpinEdit1 = makeSpin(this, "SpinEdit1", 1, 60, 5);
    Label6 = makeLabel(this, "Label6",
                       QStringLiteral("Dieser Wert setzt das minimale Zeitintervall in Sekunden "
                                      "zwischen zwei aufgezeichneten Datenpunkten."),
                       true);
    Label7 = makeLabel(this, "Label7",
                       QStringLiteral("Die tatsächliche Aufzeichnungsintervall hängt aber auch "
                                      "vom Zeitintervall der eingespeisten NMEA-Daten ab."),
                       true);
    Label8 = makeLabel(this, "Label8", QStringLiteral("PowerDown"));
    SpinEdit2 = makeSpin(this, "SpinEdit2", 1, 255, 33);
    Label9 = makeLabel(this, "Label9",
                       QStringLiteral("Hiermit wird festgesetzt, nach welcher inaktiven Zeit "
                                      "(ohne Daten am Eingang) der Quendarix abschaltet"),
                       true);
    Label10 = makeLabel(this, "Label10",
                        QStringLiteral("Die effektive Zeit ergibt sich aus diesem Wert * 30 sec, "
                                       "Beispiel:  Wert 20 entspricht ca. 10 min"),
                        true);

    CheckBox1 = new QCheckBox(
        QStringLiteral("LCD-Display am Logger aktivieren (bitte nicht unnötig einschalten, "
                       "insbesondere wenn gar kein Display vorhanden)"),
        this);
    CheckBox1->setObjectName("CheckBox1");

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette face = Memo1->palette();
    face.setColor(QPalette::Base, palette().color(QPalette::Window));
    Memo1->setPalette(face);
    QStringList advice;
    for (const char* line : kAdvice) advice << QString::fromUtf8(line);
    Memo1->setPlainText(advice.join(QLatin1Char('\n')));
    {
        const QFontMetrics metrics(Memo1->font());
        int widest = 0;
        for (const QString& line : advice)
            widest = std::max(widest, metrics.horizontalAdvance(line));
        const int margin = 2 * static_cast<int>(Memo1->document()->documentMargin()) + 4;
        Memo1->setFixedSize(widest + margin, metrics.lineSpacing() * 8 + margin);
    }

    Label11 = makeLabel(this, "Label11", QString());
    QFont bold = Label11->font();
    bold.setBold(true);
    Label11->setFont(bold);
    Label11->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The status line shows what the logger answers: it must never resize the window.
    Label11->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    Label11->setFixedHeight(QFontMetrics(bold).lineSpacing() * 2 + 4);

    ButtonSend = new QPushButton(QStringLiteral("=> &Quendarix"), this);
    ButtonSend->setObjectName("ButtonSend");
    ButtonSend->setIcon(buttonIcon(ButtonPicture::SendSettings, this));
    ButtonSend->setAutoDefault(false);
    ButtonOK =
        new QPushButton(buttonIcon(ButtonPicture::Close, this), QStringLiteral("&Schließen"), this);
    ButtonOK->setObjectName("ButtonOK");
    ButtonOK->setAutoDefault(false);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(kTimerInterval);
    Timer1->setTimerType(Qt::PreciseTimer);  // never a tick before the 100 ms are over

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->addWidget(Label1, 0, 0);
    grid->addWidget(Edit1, 0, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(Edit2, 1, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(Label3, 2, 0);
    grid->addWidget(Edit3, 2, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(Label4, 3, 0);
    grid->addWidget(Edit4, 3, 1, 1, 2, Qt::AlignLeft);
    auto addExplained = [grid](int row, QLabel* label, QSpinBox* spin, QLabel* a, QLabel* b) {
        label->setMinimumHeight(spin->sizeHint().height());  // level with the spin edit
        grid->addWidget(label, row, 0, Qt::AlignTop);
        grid->addWidget(spin, row, 1, Qt::AlignTop);
        auto* text = new QVBoxLayout;
        text->setSpacing(2);
        text->addWidget(a);
        text->addWidget(b);
        grid->addLayout(text, row, 2);
    };
    addExplained(4, Label5, SpinEdit1, Label6, Label7);
    addExplained(5, Label8, SpinEdit2, Label9, Label10);
    grid->setColumnStretch(2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonSend);
    buttons->addStretch(1);
    buttons->addWidget(ButtonOK);

    auto* column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addSpacing(4);
    column->addWidget(CheckBox1);
    column->addSpacing(8);
    column->addWidget(Memo1);
    column->addWidget(Label11);
    column->addLayout(buttons);

    setFixedSize(sizeHint());

    for (QLineEdit* edit : {Edit1, Edit2, Edit3, Edit4})
        connect(edit, &QLineEdit::textChanged, this, guarded(context_, [this] { EditChange(); }));
    for (QSpinBox* spin : {SpinEdit1, SpinEdit2})
        connect(spin, &QSpinBox::textChanged, this, guarded(context_, [this] { EditChange(); }));
    connect(ButtonSend, &QPushButton::clicked, this,
            guarded(context_, [this] { ButtonSendClick(); }));
    connect(ButtonOK, &QPushButton::clicked, this, &QWidget::close);
    connect(Timer1, &QTimer::timeout, this, guarded(context_, [this] { Timer1Timer(); }));
}

void TSetQVD::createPort() {
    ComPort2 = std::make_unique<TComPort>();
    ComPort2->setDeviceName("COM%d");
    ComPort2->setBaudrate(TComBaudrate::br4800);
    ComPort2->OnRxChar = [this](TCustomComPort& sender, int count) {
        guarded(context_, [&] { ComPort2RxChar(sender, count); })();
    };
    ComPort2->OnError = [this](TCustomComPort& sender, int errors) {
        guarded(context_, [&] { ComPort2Error(sender, errors); })();
    };
}

void TSetQVD::FormCreate() {
    setWindowTitle(
        QStringLiteral("Quendarix Einstellungen vornehmen für %1").arg(context_.titleText()));
}

void TSetQVD::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous() || shown_) return;
    shown_ = true;
    closing_ = false;
    centreOnScreen(this);
    guarded(context_, [this] { FormShow(); })();
}

void TSetQVD::FormShow() {
    const SettingsStore& store = context_.settings();
    TypedLengthLimit::setText(Edit1, store.readString(kSubkey, "setPLT", kNotSet));
    TypedLengthLimit::setText(Edit2, store.readString(kSubkey, "setGTY", kNotSet));
    TypedLengthLimit::setText(Edit3, store.readString(kSubkey, "setGID", kNotSet));
    TypedLengthLimit::setText(Edit4, store.readString(kSubkey, "setRES", kNotSet));
    // A number outside a spin edit's range shows as the nearer bound.
    SpinEdit1->setValue(storedInteger(store, "setINT", "5"));
    SpinEdit2->setValue(storedInteger(store, "setPWD", "33"));
    CheckBox1->setChecked(store.readString(kSubkey, "setLCD", "FALSE").toUpper() == "TRUE");
}

OwnerSettings TSetQVD::currentSettings() const {
    OwnerSettings settings;
    settings.pilot = latin1(Edit1->text());
    settings.gliderType = latin1(Edit2->text());
    settings.gliderId = latin1(Edit3->text());
    settings.reserve = latin1(Edit4->text());
    settings.minInterval = spinValue(SpinEdit1);
    settings.powerDown = spinValue(SpinEdit2);
    settings.lcd = CheckBox1->isChecked();
    return settings;
}

void TSetQVD::ButtonSendClick() {
    if (CheckBox1->isChecked() &&
        !context_.prompts().confirmYesNo(
            this, QStringLiteral("Bestätigen"),
            QStringLiteral("Bitte nochmals prüfen, ob der LCD wirklich aktiviert werden soll. "
                           "Nicht vorhandene LCD auch nicht aktivieren!")))
        CheckBox1->setChecked(false);

    SettingsStore& store = context_.settings();
    store.writeString(kSubkey, "setPLT", Edit1->text());
    store.writeString(kSubkey, "setGTY", Edit2->text());
    store.writeString(kSubkey, "setGID", Edit3->text());
    store.writeString(kSubkey, "setRES", Edit4->text());
    store.writeInteger(kSubkey, "setINT", spinValue(SpinEdit1));
    store.writeInteger(kSubkey, "setPWD", spinValue(SpinEdit2));
    store.writeString(kSubkey, "setLCD",
                      CheckBox1->isChecked() ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));

    // Hidden while the port opens; a port that cannot be opened leaves it hidden.
    ButtonSend->hide();
    if (!ComPort2) createPort();  // only a dialog shown again after closing has none
    if (!ComPort2->IsOpen()) {
        ComPort2->setPortNum(storedPort(store));
        ComPort2->Open();
    }
    transfer_.start(buildTransferTable(currentSettings()));
    NextByte();
    ButtonSend->show();
}

void TSetQVD::NextByte() {
    if (!ComPort2 || !transfer_.pending()) return;
    ComPort2->WriteText(transfer_.takeNextSentence());
    // A timer that is already running keeps its phase, as a restarted send finds it.
    if (!Timer1->isActive()) Timer1->start();
}

void TSetQVD::ComPort2RxChar(TCustomComPort& sender, int /*count*/) {
    if (closing_) return;
    Timer1->stop();
    const std::size_t length = transfer_.collect(sender.ReadText());
    Label11->setText(QStringLiteral("Bytes übertragen: %1").arg(length));
    Timer1->start();  // the 100 ms run from the last received bytes
}

void TSetQVD::ComPort2Error(TCustomComPort& sender, int errors) {
    // The port stays open but dead after a hang-up: the remaining sentences would go nowhere
    // and each would be reported as a silent logger. Sending again opens the port afresh.
    if (closing_ || !(errors & CE_IOE)) return;
    Timer1->stop();
    transfer_.takeAnswer();  // a piece of an answer, cut off
    if (sender.IsOpen()) sender.Close();
    Label11->setText(QStringLiteral("Verbindung zu Quendarix unterbrochen"));
    ButtonSend->show();
    context_.reportError(
        QStringLiteral("Die Verbindung zu Quendarix über COM %1 ist unterbrochen; die "
                       "Einstellungen sind möglicherweise nicht vollständig übertragen. Bitte "
                       "die Verbindung prüfen und erneut senden.")
            .arg(sender.PortNum()),
        this);
}

void TSetQVD::Timer1Timer() {
    const std::string answer = transfer_.takeAnswer();
    if (answer.empty())
        Label11->setText(QStringLiteral("Quendarix antwortet nicht"));
    else
        Label11->setText(QStringLiteral("Antwort von Quendarix: ") +
                         QString::fromLatin1(answer.data(), static_cast<qsizetype>(answer.size())));
    Timer1->stop();
    if (transfer_.pending()) NextByte();
}

void TSetQVD::EditChange() {
    Label11->clear();
}

void TSetQVD::FormClose() {
    closing_ = true;
    Timer1->stop();
    // Closing serves a receive event that is waiting; it is dropped (closing_).
    std::unique_ptr<TComPort> port = std::move(ComPort2);
    if (port && port->IsOpen()) port->Close();
    port.reset();
    Delay(kClosePause);
    emit formClosed();
}

void TSetQVD::closeOnce() {
    if (!shown_) return;
    shown_ = false;
    guarded(context_, [this] { FormClose(); })();
}

void TSetQVD::done(int result) {
    closeOnce();
    QDialog::done(result);
}

void TSetQVD::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) closeOnce();  // hidden without done()
}

}  // namespace qr

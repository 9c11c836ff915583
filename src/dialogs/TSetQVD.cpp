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
#include <QVBoxLayout>
#include <algorithm>

#include "app/AppContext.h"
#include "app/ButtonPictures.h"
#include "app/SettingsStore.h"
#include "app/WindowPlacement.h"
#include "common/Delay.h"
#include "common/NumberConversion.h"
#include "common/QtLatin1.h"
#include "dialogs/TypedLengthLimit.h"
#include "serial/TComPort.h"

namespace qr {

namespace {

const QString kSubkey = QStringLiteral("Zelmor");
const QString kNotSet = QStringLiteral("not set");
constexpr int kClosePause = 500;  // ms, so that the port is free when the main window reopens it

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
    const auto value = tryStrToInt(toLatin1Bytes(spin->cleanText()));
    if (!value) return spin->minimum();
    return std::clamp<int>(*value, spin->minimum(), spin->maximum());
}

// A stored number as the program's conversion rule reads it (throws the conversion error).
int storedInteger(const SettingsStore& store, const QString& name, const QString& defaultText) {
    return StrToInt(toLatin1Bytes(store.readString(kSubkey, name, defaultText)));
}

}  // namespace

// What the settings session reports, on the dialog's status line.
class TSetQVD::SessionView : public SettingsSessionObserver {
public:
    explicit SessionView(TSetQVD& dialog) : dialog_(dialog) {}

    void answerGrowing(std::size_t length) override {
        dialog_.Label11->setText(QStringLiteral("Bytes übertragen: %1").arg(length));
    }
    void answered(const std::string& answer) override {
        if (answer.empty())
            dialog_.Label11->setText(QStringLiteral("Quendarix antwortet nicht"));
        else
            dialog_.Label11->setText(QStringLiteral("Antwort von Quendarix: ") +
                                     fromLatin1Bytes(answer));
    }
    void linkLost(int comNumber) override {
        dialog_.Label11->setText(QStringLiteral("Verbindung zu Quendarix unterbrochen"));
        dialog_.ButtonSend->show();
        dialog_.context_.reportError(
            QStringLiteral("Die Verbindung zu Quendarix über COM %1 ist unterbrochen; die "
                           "Einstellungen sind möglicherweise nicht vollständig übertragen. "
                           "Bitte die Verbindung prüfen und erneut senden.")
                .arg(comNumber),
            &dialog_);
    }

private:
    TSetQVD& dialog_;
};

TSetQVD::TSetQVD(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName("SetQVD");
    createControls();
    view_ = std::make_unique<SessionView>(*this);
    session_ = std::make_unique<SettingsSession>(this);
    session_->setObserver(view_.get());
    session_->setGuard([this](const std::function<void()>& entry) { guarded(context_, entry)(); });
    FormCreate();
}

TSetQVD::~TSetQVD() {
    session_.reset();  // the pacing stops and the port's threads end while the dialog is whole
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
}

void TSetQVD::FormCreate() {
    setWindowTitle(
        QStringLiteral("Quendarix Einstellungen vornehmen für %1").arg(context_.titleText()));
}

void TSetQVD::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous() || shown_) return;
    shown_ = true;
    session_->reopen();
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
    settings.pilot = toLatin1Bytes(Edit1->text());
    settings.gliderType = toLatin1Bytes(Edit2->text());
    settings.gliderId = toLatin1Bytes(Edit3->text());
    settings.reserve = toLatin1Bytes(Edit4->text());
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
    const TComPort* port = session_->port();
    const int comNumber =
        port && port->IsOpen() ? port->PortNum() : store.readInteger(kSubkey, "COM Port", 1);
    session_->send(buildTransferTable(currentSettings()), comNumber);
    ButtonSend->show();
}

void TSetQVD::NextByte() {
    session_->nextSentence();
}

void TSetQVD::ComPort2RxChar(TCustomComPort& /*sender*/, int /*count*/) {
    session_->received();
}

void TSetQVD::ComPort2Error(TCustomComPort& /*sender*/, int errors) {
    session_->lineError(errors);
}

void TSetQVD::Timer1Timer() {
    session_->pacingTick();
}

void TSetQVD::EditChange() {
    Label11->clear();
}

void TSetQVD::FormClose() {
    session_->close();
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

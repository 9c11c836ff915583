// The main window's controls: building them with their names, captions and pictures, and
// laying them out as the window's size says.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTextCursor>

#include "app/AppContext.h"
#include "app/ButtonPictures.h"
#include "app/Translation.h"
#include "logger/InformationPage.h"
#include "logger/TZelmor.h"

namespace qr {

namespace {

QPushButton* pictureButton(QWidget* parent, const char* name, const QString& caption,
                           ButtonPicture picture, int left, int width) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setIcon(buttonIcon(picture, parent));
    button->setGeometry(left, 0, width, 25);
    return button;
}

}  // namespace

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

    const auto on = [this](auto* sender, auto signal, auto handler) {
        connect(sender, signal, this, guarded(context_, [this, handler] {
                    withOpenHint([this, handler] { (this->*handler)(); });
                }));
    };
    on(ComboBoxCom, &QComboBox::activated, &TZelmor::ComChange);
    on(ComboBoxBaud, &QComboBox::activated, &TZelmor::ComboBoxBaudClick);
    on(ButtonOn, &QPushButton::clicked, &TZelmor::ButtonOnClick);
    on(ButtonOff, &QPushButton::clicked, &TZelmor::ButtonOffClick);
    on(ButtonBAT, &QPushButton::clicked, &TZelmor::ButtonBATClick);
    on(ButtonStart, &QPushButton::clicked, &TZelmor::ButtonStartClick);
    on(ButtonDel, &QPushButton::clicked, &TZelmor::ButtonDelClick);
    on(ButtonSet, &QPushButton::clicked, &TZelmor::ButtonSetClick);
    connectComTyping();
    connect(OKButton, &QPushButton::clicked, this, &QWidget::close);
}

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

}  // namespace qr

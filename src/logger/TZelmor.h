#pragma once
// The main window: the program's console for the logger. It chooses the COM port and the
// download speed, runs the logger's commands through the exchange session (which owns the
// port, collects and evaluates the answers), shows what the session reports, and shows or
// hides its controls according to where the user is in the workflow. The controls and
// their layout are built in TZelmorControls.cpp, the handlers live in TZelmor.cpp.
#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "logger/ExchangeSession.h"
#include "logger/TrackSelection.h"
#include "logger/TrackSplit.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace qr {

class AppContext;

class TZelmor : public QMainWindow {
    Q_OBJECT
public:
    explicit TZelmor(AppContext& context, QWidget* parent = nullptr);
    ~TZelmor() override;

    // Handlers (named after the control and the event).
    void FormShow();
    void FormResize();
    void FormClose();
    void ComChange();
    void ComboBoxBaudClick();
    void ButtonOnClick();
    void ButtonOffClick();
    void ButtonBATClick();
    void ButtonStartClick();
    void ButtonDelClick();
    void ButtonSetClick();
    // The port's events and the answer timer's tick go to the exchange session, which
    // reports back to the window; these run the same steps when called directly.
    void ComPort1Error(int errors);
    // Collects an answer until the line has been quiet, then evaluates it.
    void ComPort1RxChar(int count);
    // Evaluates the receive buffer; also the tick of the answer timer Timer1.
    void Auswerten();

    // Steps of the commands.
    void checkCOM();       // prepares the link; opens the port when it is closed
    void Startlesen();     // clears the display for the answer that is awaited
    void ButtonDisable();  // hides the command controls while an answer is awaited
    void RcvBaud();        // switches the port to the chosen download speed

    // The track list (TZelmorTracks.cpp).
    void ButtonAuswertungClick();
    void CheckListBoxTrackClickCheck();
    void CheckBoxNamenClick();
    // What the IGC file writer gets when the user presses ButtonFertig.
    TrackSelection trackSelection() const;
    // Writes the chosen flight as a signed .igc file (TZelmorWriter.cpp).
    void ButtonFertigClick();
    // Replaces the G-record signer (tests that must not wait for its pauses).
    void setSigner(std::function<void(const std::string&)> signer) { signer_ = std::move(signer); }

    // What the track split and the IGC file writer read: lines 1 to lineCount() of the
    // last evaluated answer, with the logger's A records rewritten to begin with "AXVN ".
    const LineBuffer& lineBuffer() const { return session_->exchange().lineBuffer(); }
    int lineCount() const { return session_->exchange().lineBuffer().count(); }
    int dataflashUsed() const { return session_->exchange().dataflashUsed(); }
    // The exchange state (receive buffer, mode flag, dataflash-used value, line buffer).
    Exchange& exchange() { return session_->exchange(); }
    TComPort& comPort() { return session_->port(); }
    ExchangeSession& session() { return *session_; }
    bool testFlag() const { return testFlag_; }

    // The most text Memo1 takes before a download display starts it afresh.
    static constexpr std::size_t kMemoCapacity = 2 * 1024 * 1024;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    class SessionView;

    void createControls();
    QString translated(const QString& text) const;
    void setPanel(int index, const QString& text);
    void setCaption(QLabel* label, const QString& text);
    void memoFont8();
    // text := text + piece, as the evaluation adds its lines.
    void appendMemoText(const QString& piece);
    // A new line of its own at the end of Memo1.
    void addMemoLine(const QString& line);
    void setCommandButtonsVisible(bool visible);
    void placeLabel3();
    // The device went away (the session has closed the port): tell the user, also that a
    // download cut off by it was thrown away.
    void linkLost(bool downloadDiscarded);
    // What the window shows of a port's line errors (with the "Test" setting only).
    void showLineErrors(int errors);
    // A download answer that was evaluated, or cut off by a hang-up, goes to the archive of
    // kept downloads; a failure shows in the error panel and stops nothing.
    void keepDownload(const AnswerOutcome& outcome);
    // The tooltips of the port list: the device of each COM number and what is attached.
    void describePorts();
    // Runs a handler; a port that cannot be opened is reported with the device that was
    // tried, the serial devices present and the command that maps a COM number to one.
    void withOpenHint(const std::function<void()>& handler);
    void connectTrackList();
    void connectWriter();
    void connectComTyping();
    // Text typed into ComboBoxCom: the port it names is chosen, any other text gives way.
    void ComboBoxComTyped();

    AppContext& context_;
    bool shownOnce_ = false;
    bool testFlag_ = false;
    std::array<QString, 3> panelTitles_;
    TrackList tracks_;  // first A record, USB flag and start table of the last track list
    std::function<void(const std::string&)> signer_;  // empty: the program's signer

    // Controls, with the names of the window's layout.
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 3> panels_{};
    QComboBox* ComboBoxCom = nullptr;
    QComboBox* ComboBoxBaud = nullptr;
    QPushButton* ButtonOn = nullptr;
    QPushButton* ButtonOff = nullptr;
    QPushButton* ButtonBAT = nullptr;
    QPushButton* ButtonStart = nullptr;
    QPushButton* ButtonSet = nullptr;
    QPushButton* ButtonDel = nullptr;
    QPushButton* ButtonAuswertung = nullptr;
    QPushButton* ButtonFertig = nullptr;
    QPushButton* OKButton = nullptr;
    QListWidget* CheckListBoxTrack = nullptr;
    QCheckBox* CheckBoxNamen = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    // The session reports here; it owns ComPort1 and the answer timer Timer1 (a child of
    // the session, itself a child of the window).
    std::unique_ptr<SessionView> view_;
    // Declared last: destroyed first, so that no handler runs on half-destroyed controls.
    std::unique_ptr<ExchangeSession> session_;
};

}  // namespace qr

#pragma once
// The logger settings dialog: stores the owner settings and has the settings session write
// them into the logger over a serial port of its own, one byte per sentence, paced by
// 100 ms of quiet; the dialog shows what the session reports.
#include <QDialog>
#include <memory>

#include "dialogs/SettingsSession.h"

class QCheckBox;
class QHideEvent;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QShowEvent;
class QSpinBox;

namespace qr {

class AppContext;

class TSetQVD : public QDialog {
    Q_OBJECT
public:
    explicit TSetQVD(AppContext& context, QWidget* parent = nullptr);
    ~TSetQVD() override;

    // Handlers (named after the control and the event).
    void FormCreate();
    void FormShow();
    void ButtonSendClick();
    void NextByte();
    void ComPort2RxChar(TCustomComPort& sender, int count);
    // A logger that hung up (unplugged) ends the transfer, and the user is told.
    void ComPort2Error(TCustomComPort& sender, int errors);
    void Timer1Timer();
    void EditChange();
    void FormClose();

    // The dialog's own port; none after the dialog has closed.
    const TComPort* comPort() const { return session_->port(); }
    const SettingsTransfer& transfer() const { return session_->transfer(); }

    // Every way of closing (the close button, the close box, Escape, accept/reject) ends here.
    void done(int result) override;

signals:
    // FormClose has run: the port is closed and released, the pacing stopped.
    void formClosed();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    class SessionView;

    void createControls();
    void closeOnce();
    OwnerSettings currentSettings() const;

    AppContext& context_;

    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit3 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLabel* Label5 = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QSpinBox* SpinEdit2 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Label11 = nullptr;
    QPushButton* ButtonSend = nullptr;
    QPushButton* ButtonOK = nullptr;

    bool shown_ = false;  // shown and not yet closed: FormClose is due once
    std::unique_ptr<SessionView> view_;
    // Owns ComPort2 and the pacing timer Timer1 (a child of the session, itself a child of
    // the dialog). Declared last: destroyed first.
    std::unique_ptr<SettingsSession> session_;
};

}  // namespace qr

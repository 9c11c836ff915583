#pragma once
// The IGC header dialog: the values of the file's header and where it is saved. The file
// writer shows a fresh instance modally and reads the shared header values and the
// confirmation flag afterwards; one permanent, never shown instance supplies the texts.
#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qr {

class AppContext;
class UpDownControl;

class TFormIGCKonfig : public QDialog {
    Q_OBJECT
public:
    explicit TFormIGCKonfig(AppContext& context, QWidget* parent = nullptr);
    ~TFormIGCKonfig() override;

    void FormCreate();
    void FormShow();
    void FormActivate();
    void EditChange();
    void PfadseclectClick();
    void KonfSpeichernClick();
    void SpeichernClick();
    void AbbrechenClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void applyPlausibility();

    AppContext& context_;
    bool copying_ = false;  // while clear, changed fields do not reach the header values

    std::array<QLabel*, 8> labels_{};    // Label1..Label8
    std::array<QLineEdit*, 8> edits_{};  // Edit1..Edit8
    UpDownControl* upDown_ = nullptr;
    QPlainTextEdit* memo1_ = nullptr;
    QPlainTextEdit* memo2_ = nullptr;
    QPlainTextEdit* memo3_ = nullptr;
    QPushButton* pfadseclect_ = nullptr;
    QPushButton* speichern_ = nullptr;
    QPushButton* abbrechen_ = nullptr;
    QPushButton* konfSpeichern_ = nullptr;
};

}  // namespace qr

#pragma once
// Everything that asks the user something goes through this interface, so that tests can
// answer in place of a person. The program's implementation shows the Qt dialogs.
#include <QString>
#include <optional>
#include <utility>

class QDialog;
class QWidget;

namespace qr {

class UserPrompts {
public:
    virtual ~UserPrompts() = default;

    // The application's error message box.
    virtual void showError(QWidget* parent, const QString& text) = 0;
    // A message box with OK and Cancel and no icon; true for OK.
    virtual bool confirmOkCancel(QWidget* parent, const QString& caption, const QString& text) = 0;
    // A confirmation with Yes and No; true unless the answer is No.
    virtual bool confirmYesNo(QWidget* parent, const QString& caption, const QString& text) = 0;
    // The directory chooser (it can create folders); nothing when cancelled.
    virtual std::optional<QString> chooseDirectory(QWidget* parent, const QString& start) = 0;
    // Shows a dialog modally and returns its result code.
    virtual int execModal(QDialog& dialog) = 0;
};

// The real dialogs.
class QtUserPrompts : public UserPrompts {
public:
    // errorCaption: the caption of the error message box, the application title.
    explicit QtUserPrompts(QString errorCaption = {}) : errorCaption_(std::move(errorCaption)) {}
    void showError(QWidget* parent, const QString& text) override;
    bool confirmOkCancel(QWidget* parent, const QString& caption, const QString& text) override;
    bool confirmYesNo(QWidget* parent, const QString& caption, const QString& text) override;
    std::optional<QString> chooseDirectory(QWidget* parent, const QString& start) override;
    int execModal(QDialog& dialog) override;

private:
    QString errorCaption_;
};

}  // namespace qr

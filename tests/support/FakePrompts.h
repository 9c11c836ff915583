#pragma once
// Answers the program's questions in place of a person and records what was asked.
#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

#include "app/UserPrompts.h"

namespace qr::test {

class FakePrompts : public UserPrompts {
public:
    void showError(QWidget* parent, const QString& text) override;
    bool confirmOkCancel(QWidget* parent, const QString& caption, const QString& text) override;
    bool confirmYesNo(QWidget* parent, const QString& caption, const QString& text) override;
    std::optional<QString> chooseDirectory(QWidget* parent, const QString& start) override;
    int execModal(QDialog& dialog) override;

    QStringList errors;                      // texts of the error boxes, in order
    QStringList questions;                   // texts of confirmations, in order
    std::deque<bool> answers;                // next answers to confirmations (default: true)
    std::optional<QString> directoryAnswer;  // what the directory chooser returns
    QString lastDirectoryStart;
    // Drives a modal dialog; without one the dialog is rejected at once.
    std::function<int(QDialog&)> onModal;
};

}  // namespace qr::test

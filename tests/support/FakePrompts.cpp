#include "support/FakePrompts.h"

namespace qr::test {

void FakePrompts::showError(QWidget*, const QString& text) {
    errors << text;
}

bool FakePrompts::confirmOkCancel(QWidget*, const QString&, const QString& text) {
    questions << text;
    if (answers.empty()) return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

bool FakePrompts::confirmYesNo(QWidget* parent, const QString& caption, const QString& text) {
    return confirmOkCancel(parent, caption, text);
}

std::optional<QString> FakePrompts::chooseDirectory(QWidget*, const QString& start) {
    lastDirectoryStart = start;
    return directoryAnswer;
}

int FakePrompts::execModal(QDialog& dialog) {
    if (onModal) return onModal(dialog);
    return QDialog::Rejected;
}

}  // namespace qr::test

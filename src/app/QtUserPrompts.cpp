#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>

#include "app/UserPrompts.h"

namespace qr {

void QtUserPrompts::showError(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, QApplication::applicationDisplayName(), text);
}

bool QtUserPrompts::confirmOkCancel(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                    parent);
    return box.exec() == QMessageBox::Ok;
}

bool QtUserPrompts::confirmYesNo(QWidget* parent, const QString& caption, const QString& text) {
    return QMessageBox::question(parent, caption, text, QMessageBox::Yes | QMessageBox::No) !=
           QMessageBox::No;
}

std::optional<QString> QtUserPrompts::chooseDirectory(QWidget* parent, const QString& start) {
    const QString chosen = QFileDialog::getExistingDirectory(parent, QString(), start);
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

int QtUserPrompts::execModal(QDialog& dialog) {
    return dialog.exec();
}

}  // namespace qr

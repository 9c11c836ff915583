// The main window's port box is editable: a typed port name chooses that port, any other
// text gives way to the port that is chosen.
#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>

#include "app/AppContext.h"
#include "logger/TZelmor.h"

namespace qr {

namespace {

// The item a typed text names: an item's own text in any case ("com 3", "COM ???"), or a
// port number with or without "COM" ("com3", "3"); -1 for anything else.
int namedItem(const QComboBox& box, const QString& typed) {
    const int exact = box.findText(typed.trimmed(), Qt::MatchFixedString);
    if (exact >= 0) return exact;
    static const QRegularExpression port(QStringLiteral(R"(^\s*(?:com)?\s*0*(\d{1,3})\s*$)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = port.match(typed);
    if (!match.hasMatch()) return -1;
    const int number = match.captured(1).toInt();
    return number >= 1 && number < box.count() ? number : -1;  // item n is "COM n"
}

}  // namespace

void TZelmor::connectComTyping() {
    // Enter or leaving the box ends the typing. Qt chooses an item whose text was typed
    // exactly (and runs ComChange) before this.
    connect(ComboBoxCom->lineEdit(), &QLineEdit::editingFinished, this,
            guarded(context_, [this] { ComboBoxComTyped(); }));
}

void TZelmor::ComboBoxComTyped() {
    const int current = ComboBoxCom->currentIndex();
    const int named = namedItem(*ComboBoxCom, ComboBoxCom->currentText());
    if (named >= 0 && named != current) {
        ComboBoxCom->setCurrentIndex(named);
        ComChange();
    } else if (ComboBoxCom->currentText() != ComboBoxCom->itemText(current)) {
        ComboBoxCom->setEditText(ComboBoxCom->itemText(current));
    }
}

}  // namespace qr

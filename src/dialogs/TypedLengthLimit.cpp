#include "dialogs/TypedLengthLimit.h"

#include <QLineEdit>
#include <algorithm>

namespace qr {

TypedLengthLimit::TypedLengthLimit(int limit, QLineEdit* edit)
    : QValidator(edit), limit_(limit), baseline_(static_cast<int>(edit->text().size())) {
    connect(edit, &QLineEdit::textChanged, this,
            [this](const QString& text) { baseline_ = static_cast<int>(text.size()); });
}

QValidator::State TypedLengthLimit::validate(QString& input, int& pos) const {
    const int allowed = std::max(limit_, baseline_);
    const int excess = static_cast<int>(input.size()) - allowed;
    if (excess > 0) {
        // Drop the end of what was just inserted (it ends at the cursor), as a limited
        // edit takes only as much of a paste as fits.
        const int from = std::max(0, pos - excess);
        input.remove(from, pos - from);
        pos = from;
        if (input.size() > allowed) input.truncate(allowed);
    }
    return Acceptable;
}

void TypedLengthLimit::setText(QLineEdit* edit, const QString& text) {
    const QValidator* validator = edit->validator();
    edit->setValidator(nullptr);
    edit->setText(text);
    edit->setValidator(validator);
}

}  // namespace qr

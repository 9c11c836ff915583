#pragma once
// Limits what a person can type into a line edit, as an edit's typing limit does, without
// cutting a longer text that the program puts there: such a text can be shortened but not
// lengthened. (QLineEdit::setMaxLength would cut the program's text as well.)
#include <QString>
#include <QValidator>

class QLineEdit;

namespace qr {

class TypedLengthLimit : public QValidator {
public:
    TypedLengthLimit(int limit, QLineEdit* edit);

    State validate(QString& input, int& pos) const override;

    // Puts a text into the edit past the typing limit.
    static void setText(QLineEdit* edit, const QString& text);

private:
    int limit_;
    int baseline_ = 0;  // length of the edit's current text
};

}  // namespace qr

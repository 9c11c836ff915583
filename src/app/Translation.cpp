#include "app/Translation.h"

namespace qr {

QString Translate(const std::string& /*languageName*/, const QString& text) {
    return text;
}

void TranslateForm(QWidget* /*window*/) {}

}  // namespace qr

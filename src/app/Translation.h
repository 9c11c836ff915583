#pragma once
// The translation facility. No language is ever chosen and no table filled, so it is
// switched off: texts come back as they are and windows stay as designed.
#include <QString>
#include <string>

class QWidget;

namespace qr {

QString Translate(const std::string& languageName, const QString& text);
void TranslateForm(QWidget* window);

}  // namespace qr

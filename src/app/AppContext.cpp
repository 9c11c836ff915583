#include "app/AppContext.h"

#include <QApplication>
#include <QWidget>

#include "app/SettingsStore.h"

namespace qr {

AppContext::AppContext(UserPrompts& prompts, std::string title)
    : prompts_(prompts), title_(std::move(title)) {}

AppContext::~AppContext() = default;

SettingsStore& AppContext::openSettings() {
    if (!settings_) settings_ = std::make_unique<SettingsStore>();
    return *settings_;
}

void AppContext::useSettings(std::unique_ptr<SettingsStore> store) {
    settings_ = std::move(store);
}

void AppContext::reportError(std::exception_ptr error, QWidget* parent) {
    reportError(errorText(error), parent);
}

void AppContext::reportError(const QString& text, QWidget* parent) {
    if (!parent) parent = QApplication::activeWindow();
    prompts_.showError(parent, text);
}

}  // namespace qr

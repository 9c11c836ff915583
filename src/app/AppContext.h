#pragma once
// What every window of the program leans on: the shared values, the settings store, the
// application title, the way to ask the user, and the one place errors are reported.
#include <QString>
#include <exception>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include "app/SharedState.h"
#include "app/UserPrompts.h"

class QWidget;

namespace qr {

class SettingsStore;

class AppContext {
public:
    // title: the application title (see applicationTitle).
    AppContext(UserPrompts& prompts, std::string title);
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    SharedState& state() { return state_; }
    UserPrompts& prompts() { return prompts_; }
    const std::string& title() const { return title_; }
    QString titleText() const { return QString::fromLocal8Bit(title_.c_str()); }

    // Opens the current user's store once (the main window does so when first shown);
    // later calls keep the open one.
    SettingsStore& openSettings();
    // Uses a given store instead (tests, the demo).
    void useSettings(std::unique_ptr<SettingsStore> store);
    bool settingsOpen() const { return settings_ != nullptr; }
    // The open store; opens it when needed.
    SettingsStore& settings() { return openSettings(); }

    // The permanent, never shown header dialog that shown ones take their texts from.
    void setPermanentHeaderDialog(QWidget* dialog) { permanentHeaderDialog_ = dialog; }
    QWidget* permanentHeaderDialog() const { return permanentHeaderDialog_; }

    // The application's error message box for an exception that ended a handler.
    void reportError(std::exception_ptr error, QWidget* parent = nullptr);
    void reportError(const QString& text, QWidget* parent = nullptr);

private:
    UserPrompts& prompts_;
    std::string title_;
    SharedState state_;
    std::unique_ptr<SettingsStore> settings_;
    QWidget* permanentHeaderDialog_ = nullptr;
};

// The text an exception shows in the error box.
QString errorText(std::exception_ptr error);

namespace detail {
// Calls a handler with the signal's arguments, or without them when it takes none.
template <typename Handler, typename... Args>
void invokeHandler(const Handler& handler, Args&&... args) {
    if constexpr (std::is_invocable_v<const Handler&, Args...>)
        handler(std::forward<Args>(args)...);
    else
        handler();
}
}  // namespace detail

// Wraps an event handler so that an exception leaving it is reported and the program goes
// on: connect(button, &QPushButton::clicked, this, guarded(ctx, [this] { ButtonXClick(); })).
template <typename Handler>
auto guarded(AppContext& context, Handler handler) {
    return [&context, handler](auto&&... args) {
        try {
            detail::invokeHandler(handler, std::forward<decltype(args)>(args)...);
        } catch (...) {
            context.reportError(std::current_exception());
        }
    };
}

}  // namespace qr

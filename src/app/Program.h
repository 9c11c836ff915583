#pragma once
// The program's windows, created in a fixed order: the main window, then the permanent
// header dialog and the permanent settings dialog, both hidden and never shown.
#include <memory>
#include <vector>

class QWidget;

namespace qr {

class AppContext;
class TZelmor;
class TFormIGCKonfig;
class TSetQVD;

class Program {
public:
    explicit Program(AppContext& context);
    ~Program();

    TZelmor& mainWindow() { return *mainWindow_; }
    TFormIGCKonfig& permanentHeaderDialog() { return *headerDialog_; }
    TSetQVD& permanentSettingsDialog() { return *settingsDialog_; }
    // The windows in the order they were created.
    const std::vector<QWidget*>& creationOrder() const { return creationOrder_; }

    // Shows the main window and runs the event loop until it closes.
    int run();

private:
    std::unique_ptr<TZelmor> mainWindow_;
    std::unique_ptr<TFormIGCKonfig> headerDialog_;
    std::unique_ptr<TSetQVD> settingsDialog_;
    std::vector<QWidget*> creationOrder_;
};

}  // namespace qr

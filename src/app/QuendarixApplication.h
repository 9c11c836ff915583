#pragma once
#include <QApplication>

namespace qr {

class AppContext;

// The application object: the last net for an exception that leaves an event handler
// without its own guard. It is reported in the error box and the program goes on.
class QuendarixApplication : public QApplication {
public:
    QuendarixApplication(int& argc, char** argv);
    void setContext(AppContext* context) { context_ = context; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    AppContext* context_ = nullptr;
};

}  // namespace qr

#pragma once
// The main window: the program's console for the logger.
#include <QMainWindow>

namespace qr {

class AppContext;

class TZelmor : public QMainWindow {
    Q_OBJECT
public:
    explicit TZelmor(AppContext& context, QWidget* parent = nullptr);
    ~TZelmor() override;

    // Handlers (named after the control and the event).
    void FormShow();

protected:
    void showEvent(QShowEvent* event) override;

private:
    AppContext& context_;
    bool shownOnce_ = false;
};

}  // namespace qr

#pragma once
#include <QApplication>
#include <QString>
#include <QTranslator>

namespace qr {

class AppContext;

// The application object: the last net for an exception that leaves an event handler
// without its own guard. It is reported in the error box and the program goes on.
// It also makes Qt's own texts (standard buttons, the directory chooser) German, as the
// rest of the program is, whatever the user's locale.
class QuendarixApplication : public QApplication {
public:
    QuendarixApplication(int& argc, char** argv);
    void setContext(AppContext* context) { context_ = context; }
    bool notify(QObject* receiver, QEvent* event) override;

    // Qt's German texts from `folder` (Qt's translation folder unless given), in place of
    // any loaded before; false when the file is missing there, and Qt's texts are English.
    bool loadQtGermanTexts(const QString& folder = {});
    bool qtTextsGerman() const { return qtTextsGerman_; }

private:
    AppContext* context_ = nullptr;
    QTranslator qtTexts_;
    bool qtTextsGerman_ = false;
};

}  // namespace qr

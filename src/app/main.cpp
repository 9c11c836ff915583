// QuendarixReader: reads a Quendarix flight logger and writes signed IGC files.
#include <QByteArray>

#include "app/AppContext.h"
#include "app/AppTitle.h"
#include "app/Program.h"
#include "app/QuendarixApplication.h"
#include "app/UserPrompts.h"

int main(int argc, char** argv) {
    qr::QuendarixApplication app(argc, argv);
    qr::QtUserPrompts prompts;
    qr::AppContext context(
        prompts,
        qr::applicationTitle(QApplication::applicationFilePath().toLocal8Bit().toStdString()));
    QApplication::setApplicationDisplayName(context.titleText());
    app.setContext(&context);
    qr::Program program(context);
    const int status = program.run();
    app.setContext(nullptr);
    return status;
}

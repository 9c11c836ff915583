// QuendarixReader: reads a Quendarix flight logger and writes signed IGC files.
#include <QByteArray>
#include <string>
#include <utility>

#include "app/AppContext.h"
#include "app/AppTitle.h"
#include "app/Program.h"
#include "app/QuendarixApplication.h"
#include "app/UserPrompts.h"

int main(int argc, char** argv) {
    qr::QuendarixApplication app(argc, argv);
    std::string title =
        qr::applicationTitle(QApplication::applicationFilePath().toLocal8Bit().toStdString());
    qr::QtUserPrompts prompts(QString::fromLocal8Bit(title.c_str()));
    qr::AppContext context(prompts, std::move(title));
    app.setContext(&context);
    qr::Program program(context);
    const int status = program.run();
    app.setContext(nullptr);
    return status;
}

// Saves a picture of the program's windows: qr-screenshot OUT.png [SCENE].
// Builds the real windows, brings them into the scene's state and grabs the window.
#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <map>
#include <string>

#include "app/AppContext.h"
#include "app/AppTitle.h"
#include "app/Program.h"
#include "app/QuendarixApplication.h"
#include "app/UserPrompts.h"
#include "logger/TZelmor.h"
#include "screenshot/Scenes.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: qr-screenshot OUT.png [SCENE]\n");
        return 2;
    }
    qr::QuendarixApplication app(argc, argv);
    qr::QtUserPrompts prompts;
    qr::AppContext context(prompts, "quendarix-reader");
    app.setContext(&context);
    qr::Program program(context);
    const QString out = QString::fromLocal8Bit(argv[1]);
    const std::string sceneName = argc > 2 ? argv[2] : "main";
    const auto& scenes = qr::screenshot::scenes();
    const auto scene = scenes.find(sceneName);
    if (scene == scenes.end()) {
        std::fprintf(stderr, "unknown scene %s; scenes:", sceneName.c_str());
        for (const auto& [name, _] : scenes) std::fprintf(stderr, " %s", name.c_str());
        std::fprintf(stderr, "\n");
        return 2;
    }
    int status = 1;
    program.mainWindow().show();
    QTimer::singleShot(300, [&] {
        scene->second(program, context, [&](QWidget* window) {
            status = window->grab().save(out) ? 0 : 1;
            QApplication::quit();
        });
    });
    QApplication::exec();
    app.setContext(nullptr);
    return status;
}

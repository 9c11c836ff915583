// Scenes of the logger settings dialog.
#include <QTimer>

#include "app/AppContext.h"
#include "app/Program.h"
#include "app/SettingsStore.h"
#include "dialogs/TSetQVD.h"
#include "logger/TZelmor.h"
#include "screenshot/Scenes.h"

namespace qr::screenshot {

namespace {

// A fresh dialog over the main window, as the settings button shows it, with stored values.
const SceneRegistration settingsScene("settings-dialog", [](Program& program, AppContext& context,
                                                            Done done) {
    SettingsStore& store = context.settings();
    store.writeString("Zelmor", "setPLT", "Zora Quendel");
    store.writeString("Zelmor", "setGTY", "Skyline 4");
    store.writeString("Zelmor", "setGID", "D-XQVD");
    store.writeString("Zelmor", "setINT", "2");
    store.writeString("Zelmor", "setPWD", "20");
    auto* dialog = new TSetQVD(context, &program.mainWindow());  // the main window owns it
    dialog->show();
    QTimer::singleShot(300, dialog, [dialog, done] {
        dialog->Timer1Timer();  // the status line as after a sentence without an answer
        done(dialog);
    });
});

}  // namespace

}  // namespace qr::screenshot

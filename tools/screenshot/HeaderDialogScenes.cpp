// Scenes of the IGC header dialog: as the file writer shows it, with the pilot and glider
// rows and with the names taken from the logger.
#include <QLineEdit>
#include <QTimer>

#include "app/AppContext.h"
#include "app/Program.h"
#include "dialogs/TFormIGCKonfig.h"
#include "logger/TZelmor.h"
#include "screenshot/Scenes.h"

namespace qr::screenshot {

namespace {

using Typing = std::initializer_list<std::pair<const char*, const char*>>;

void showHeaderDialog(Program& program, AppContext& context, const Done& done, bool namesFromLogger,
                      Typing typing) {
    context.state().namesFromLogger = namesFromLogger;
    auto* dialog = new TFormIGCKonfig(context, &program.mainWindow());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    for (const auto& [edit, text] : typing)
        dialog->findChild<QLineEdit*>(edit)->setText(QString::fromUtf8(text));
    QTimer::singleShot(300, dialog, [dialog, done] { done(dialog); });
}

// Some fields still implausible, so both label colours show.
const SceneRegistration headerScene("header-dialog", [](Program& program, AppContext& context,
                                                        Done done) {
    showHeaderDialog(program, context, done, false,
                     {{"Edit1", "Hans Muster"}, {"Edit2", "Alpha 5"}, {"Edit5", "Hoh"}});
});

// Everything the user still enters is plausible: the confirm button shows.
const SceneRegistration headerNamesScene("header-dialog-names", [](Program& program,
                                                                   AppContext& context, Done done) {
    showHeaderDialog(program, context, done, true, {{"Edit5", "Hohe Wand"}, {"Edit7", "HaMu"}});
});

}  // namespace

}  // namespace qr::screenshot

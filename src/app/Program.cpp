#include "app/Program.h"

#include <QApplication>

#include "app/AppContext.h"
#include "dialogs/TFormIGCKonfig.h"
#include "dialogs/TSetQVD.h"
#include "logger/TZelmor.h"

namespace qr {

Program::Program(AppContext& context) {
    mainWindow_ = std::make_unique<TZelmor>(context);
    creationOrder_.push_back(mainWindow_.get());
    headerDialog_ = std::make_unique<TFormIGCKonfig>(context);
    creationOrder_.push_back(headerDialog_.get());
    context.setPermanentHeaderDialog(headerDialog_.get());
    settingsDialog_ = std::make_unique<TSetQVD>(context);
    creationOrder_.push_back(settingsDialog_.get());
}

Program::~Program() = default;

int Program::run() {
    mainWindow_->show();
    return QApplication::exec();
}

}  // namespace qr

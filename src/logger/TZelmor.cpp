#include "logger/TZelmor.h"

#include <QShowEvent>

#include "app/AppContext.h"
#include "app/Translation.h"
#include "app/WindowPlacement.h"

namespace qr {

TZelmor::TZelmor(AppContext& context, QWidget* parent) : QMainWindow(parent), context_(context) {
    setObjectName("Zelmor");
    setWindowTitle("Quendarix Reader Vers. 1.1");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(790, 513);
}

TZelmor::~TZelmor() = default;

void TZelmor::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_ || event->spontaneous()) return;
    shownOnce_ = true;
    centreOnScreen(this);
    guarded(context_, [this] { FormShow(); })();
}

void TZelmor::FormShow() {
    TranslateForm(this);
    context_.openSettings();
}

}  // namespace qr

#include "dialogs/TFormIGCKonfig.h"

#include "app/AppContext.h"
#include "app/Translation.h"

namespace qr {

TFormIGCKonfig::TFormIGCKonfig(AppContext& context, QWidget* parent)
    : QDialog(parent), context_(context) {
    setObjectName("FormIGCKonfig");
    FormCreate();
}

TFormIGCKonfig::~TFormIGCKonfig() = default;

void TFormIGCKonfig::FormCreate() {
    setWindowTitle(Translate(context_.state().language.name, "Angaben zur IGC-Datei") + "    " +
                   context_.titleText());
}

}  // namespace qr

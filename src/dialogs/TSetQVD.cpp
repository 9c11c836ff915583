#include "dialogs/TSetQVD.h"

#include "app/AppContext.h"

namespace qr {

TSetQVD::TSetQVD(AppContext& context, QWidget* parent) : QDialog(parent), context_(context) {
    setObjectName("SetQVD");
    FormCreate();
}

TSetQVD::~TSetQVD() = default;

void TSetQVD::FormCreate() {
    setWindowTitle(QString("Quendarix Einstellungen vornehmen für %1").arg(context_.titleText()));
}

}  // namespace qr

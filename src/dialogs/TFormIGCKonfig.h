#pragma once
// The IGC header dialog: the values of the file's header and where it is saved.
#include <QDialog>

namespace qr {

class AppContext;

class TFormIGCKonfig : public QDialog {
    Q_OBJECT
public:
    explicit TFormIGCKonfig(AppContext& context, QWidget* parent = nullptr);
    ~TFormIGCKonfig() override;

    void FormCreate();

private:
    AppContext& context_;
};

}  // namespace qr

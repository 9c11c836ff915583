#pragma once
// The logger settings dialog: writes the owner settings into the logger.
#include <QDialog>

namespace qr {

class AppContext;

class TSetQVD : public QDialog {
    Q_OBJECT
public:
    explicit TSetQVD(AppContext& context, QWidget* parent = nullptr);
    ~TSetQVD() override;

    void FormCreate();

private:
    AppContext& context_;
};

}  // namespace qr

#pragma once
// An up-down control: a small pair of arrow buttons that steps a position within a range and
// drives an edit beside it (its buddy). Up and Down in the buddy step it as well.
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace qr {

class UpDownControl : public QWidget {
    Q_OBJECT
public:
    explicit UpDownControl(QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    // Beyond the range a step goes round to the other end instead of stopping.
    void setWrapping(bool wrapping) { wrapping_ = wrapping; }
    void setBuddy(QLineEdit* buddy);

    int position() const { return position_; }
    // Clamped to the range; emits positionChanged when the position changes.
    void setPosition(int position);
    void stepBy(int steps);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

signals:
    // After every step, also one that lands on the same position.
    void stepped(int position);
    void positionChanged(int position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QToolButton* up_;
    QToolButton* down_;
    QLineEdit* buddy_ = nullptr;
    int minimum_ = 0;
    int maximum_ = 100;
    int position_ = 0;
    bool wrapping_ = false;
};

}  // namespace qr

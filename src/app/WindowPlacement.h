#pragma once
class QWidget;

namespace qr {

// Places a window in the middle of the screen it is on (of the primary screen before it
// has one).
void centreOnScreen(QWidget* window);

}  // namespace qr

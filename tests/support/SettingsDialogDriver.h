#pragma once
// Drives the settings dialog as the program shows it (modally, from FakePrompts::onModal)
// and records what its status line shows while it sends.
#include <QDialog>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/TSetQVD.h"
#include "support/EndToEnd.h"

namespace qr::test {

// Runs the dialog's own event loop: "Senden" is clicked once it runs, `enough` is asked every
// `interval`, and once it holds "OK" closes the dialog. A last resort rejects it after
// `deadline`. Returns what exec() returns.
int runSettingsDialog(QDialog& shown, const std::function<bool()>& enough,
                      std::chrono::milliseconds interval,
                      std::chrono::milliseconds deadline = kEndToEndDeadline);

// The status line at each tick of the pacing timer (after the tick's own handling) with the
// position the transfer has reached, and, when asked, every change of it that a poll of
// 1 ms sees.
struct SettingsDialogWatch {
    struct Tick {
        QString status;
        int nextPosition;
    };
    std::vector<Tick> ticks;
    QStringList changes;

    void attach(TSetQVD& dialog, bool everyChange = false);

    // The answers shown from that tick on, one after the other, as the bytes that came.
    std::string answers(std::size_t fromTick = 0) const;
    int answerTicks() const;  // the ticks that showed an answer
};

// The byte count of "Bytes übertragen: n" in the status texts grows within each answer and
// never passes the answer's length; the result says whether a count short of a whole answer
// was seen.
bool byteCountsGrow(const QStringList& statusTexts, int answerLength);

}  // namespace qr::test

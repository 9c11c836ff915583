#include "support/SettingsDialogDriver.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "support/ProgramRun.h"

namespace qr::test {

namespace {

const QString kAnswerShown = "Antwort von Quendarix: ";

}  // namespace

int runSettingsDialog(QDialog& shown, const std::function<bool()>& enough,
                      std::chrono::milliseconds interval, std::chrono::milliseconds deadline) {
    QTimer::singleShot(0, control<QPushButton>(shown, "ButtonSend"), &QPushButton::click);
    QTimer step;
    QObject::connect(&step, &QTimer::timeout, [&] {
        if (!enough()) return;
        step.stop();
        control<QPushButton>(shown, "ButtonOK")->click();
    });
    step.start(interval);
    QTimer::singleShot(deadline, &shown, &QDialog::reject);  // a last resort
    return shown.exec();
}

void SettingsDialogWatch::attach(TSetQVD& dialog, bool everyChange) {
    auto* status = control<QLabel>(dialog, "Label11");
    QObject::connect(control<QTimer>(dialog, "Timer1"), &QTimer::timeout, &dialog,
                     [this, &dialog, status] {
                         ticks.push_back({status->text(), dialog.transfer().nextPosition()});
                     });
    if (!everyChange) return;
    auto* poll = new QTimer(&dialog);  // the dialog owns it
    QObject::connect(poll, &QTimer::timeout, [this, status] {
        if (changes.isEmpty() || changes.back() != status->text()) changes << status->text();
    });
    poll->start(1);
}

std::string SettingsDialogWatch::answers(std::size_t fromTick) const {
    std::string all;
    for (std::size_t i = fromTick; i < ticks.size(); ++i)
        if (ticks[i].status.startsWith(kAnswerShown))
            all += ticks[i].status.mid(kAnswerShown.size()).toLatin1().toStdString();
    return all;
}

int SettingsDialogWatch::answerTicks() const {
    return static_cast<int>(std::count_if(ticks.begin(), ticks.end(), [](const Tick& t) {
        return t.status.startsWith(kAnswerShown);
    }));
}

bool byteCountsGrow(const QStringList& statusTexts, int answerLength) {
    const QString prefix = "Bytes übertragen: ";
    int last = 0;
    bool partial = false;
    for (const QString& text : statusTexts) {
        if (!text.startsWith(prefix)) {
            last = 0;
            continue;
        }
        const int count = text.mid(prefix.size()).toInt();
        EXPECT_GT(count, last) << text.toStdString();
        EXPECT_LE(count, answerLength) << text.toStdString();
        partial = partial || count < answerLength;
        last = count;
    }
    return partial;
}

}  // namespace qr::test

// Scenes of the main window after an exchange with the logger, played by the simulator
// in this process on a pseudo-terminal registered as COM 1.
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <functional>
#include <utility>

#include "app/AppContext.h"
#include "app/Program.h"
#include "app/SettingsStore.h"
#include "logger/TZelmor.h"
#include "qvdsim/LoggerSimulator.h"
#include "screenshot/Scenes.h"

namespace qr::screenshot {

namespace {

sim::LoggerSimulator& simulator() {
    static sim::LoggerSimulator instance([] {
        sim::SimulatorConfig config;
        config.pacing = false;  // the whole memory in moments
        return config;
    }());
    return instance;
}

// The window was shown before the simulator existed: choose COM 1 again, as a user would.
void connectToSimulator(TZelmor& window, AppContext& context) {
    simulator().start();
    simulator().registerAs(context.settings().path().toStdString(), 1);
    window.findChild<QComboBox*>("ComboBoxCom")->setCurrentIndex(1);
    window.ComChange();
}

// Hands the window over once the evaluation has ended (the command buttons are back).
void whenAnswered(TZelmor& window, const Done& done) {
    auto* poll = new QTimer(&window);
    QObject::connect(poll, &QTimer::timeout, &window, [poll, &window, done] {
        if (!window.findChild<QPushButton*>("ButtonBAT")->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        done(&window);
    });
    poll->start(50);
}

// Runs a command against the simulator; a failure is printed and the window grabbed as it is.
template <typename Command>
Scene exchangeScene(Command command) {
    return [command](Program& program, AppContext& context, Done done) {
        TZelmor& window = program.mainWindow();
        try {
            connectToSimulator(window, context);
            command(window);
            whenAnswered(window, done);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "scene failed: %s\n", e.what());
            done(&window);
        }
    };
}

const SceneRegistration statusScene("main-status", exchangeScene([](TZelmor& window) {
                                        window.ButtonBATClick();
                                    }));

const SceneRegistration downloadScene(
    "main-download", exchangeScene([](TZelmor& window) {
        window.findChild<QComboBox*>("ComboBoxBaud")->setCurrentIndex(4);  // 57600 bps
        window.ButtonStartClick();
    }));

// After a download at 57600 bps: the track list with the second flight chosen.
void chooseSecondFlight(TZelmor& window) {
    window.ButtonAuswertungClick();
    window.findChild<QListWidget*>("CheckListBoxTrack")->setCurrentRow(1);
    window.CheckListBoxTrackClickCheck();
}

Scene afterDownload(std::function<void(TZelmor&, AppContext&, Done)> next) {
    return [next](Program& program, AppContext& context, Done done) {
        exchangeScene([](TZelmor& window) {
            window.findChild<QComboBox*>("ComboBoxBaud")->setCurrentIndex(4);
            window.ButtonStartClick();
        })(program, context, [next, &context, done](QWidget* window) {
            next(*static_cast<TZelmor*>(window), context, done);
        });
    };
}

const SceneRegistration tracksScene("main-tracks",
                                    afterDownload([](TZelmor& window, AppContext&, Done done) {
                                        chooseSecondFlight(window);
                                        done(&window);
                                    }));

// The second flight written: the header dialog is filled in and confirmed as a pilot would.
const SceneRegistration writtenScene(
    "main-written", afterDownload([](TZelmor& window, AppContext&, Done done) {
        chooseSecondFlight(window);
        const QString folder = QDir::tempPath() + "/quendarix-screenshot-flights";
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        QTimer::singleShot(300, &window, [folder] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog) return;
            const std::pair<const char*, QString> fields[] = {
                {"Edit5", "Hochalm"}, {"Edit7", "ErMu"}, {"Edit8", folder + "/"}};
            for (const auto& [name, text] : fields)
                if (auto* edit = dialog->findChild<QLineEdit*>(name)) edit->setText(text);
            if (auto* save = dialog->findChild<QPushButton*>("Speichern")) save->click();
        });
        window.findChild<QPushButton*>("ButtonFertig")->click();
        done(&window);
    }));

}  // namespace

}  // namespace qr::screenshot

namespace qr::screenshot {
namespace {

// The window with the shown tooltip drawn over it where it appears on the screen.
QWidget* windowWithToolTip(QWidget& window) {
    QPixmap shot = window.grab();
    QWidget* tip = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->inherits("QTipLabel") && widget->isVisible()) tip = widget;
    if (tip) {
        const QPoint at = tip->mapToGlobal(QPoint(0, 0)) - window.mapToGlobal(QPoint(0, 0));
        const QRect all = QRect(QPoint(0, 0), shot.size()).united(QRect(at, tip->size()));
        QPixmap both(all.size());
        both.fill(window.palette().color(QPalette::Window).darker(110));
        QPainter painter(&both);
        painter.drawPixmap(-all.topLeft(), shot);
        painter.drawPixmap(at - all.topLeft(), tip->grab());
        painter.end();
        shot = both;
    }
    auto* picture = new QLabel(&window);  // owned by the window, never shown
    picture->setContentsMargins(0, 0, 0, 0);
    picture->setPixmap(shot);
    picture->resize(shot.size());
    return picture;
}

// The track list with the mouse resting on the first flight: its tooltip with the facts and
// the barogram.
const SceneRegistration toolTipScene(
    "main-tracks-tooltip", afterDownload([](TZelmor& window, AppContext&, Done done) {
        chooseSecondFlight(window);
        auto* list = window.findChild<QListWidget*>("CheckListBoxTrack");
        const QRect entry = list->visualItemRect(list->item(0));
        const QPoint at(entry.left() + 30, entry.center().y());  // on the entry's text
        // The pointer rests there too: a tooltip that opened under it would close at once.
        QCursor::setPos(list->viewport()->mapToGlobal(at));
        QTimer::singleShot(200, &window, [&window, list, at, done] {
            QHelpEvent hover(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
            QApplication::sendEvent(list->viewport(), &hover);
            QTimer::singleShot(500, &window, [&window, done] { done(windowWithToolTip(window)); });
        });
    }));

}  // namespace
}  // namespace qr::screenshot

#pragma once
// Drives the real main window as a person would: by the object names of its controls, with
// the end of each command waited for under a deadline. A test fixture derives from it.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "logger/TZelmor.h"
#include "support/EndToEnd.h"
#include "support/ProgramRun.h"

class QDialog;
class QWidget;

namespace qr::test {

// Values for the IGC header dialog's fields, by object name.
using HeaderFields = std::vector<std::pair<const char*, QString>>;

// Every field plausible: pilot, glider type and id, site, competition, pilot id and, unless
// empty, the folder the file goes to.
HeaderFields plausibleHeader(const QString& pilot, const QString& pilotId,
                             const QString& folder = {});

// Types the fields into a dialog.
void fillFields(QWidget& dialog, const HeaderFields& fields);

// A signer for tests: appends the two lines (CR LF each) to the file. A file that cannot be
// opened throws, which the window reports as it reports the real signer's failures.
void appendTestSignature(const std::string& path, const char* lines = "GTEST r\r\nGTEST s\r\n");

class MainWindowDriver : public ProgramRun {
public:
    using ProgramRun::ProgramRun;

    // A fresh window, shown (it replaces an earlier one).
    TZelmor& show();
    // The same with COM 1 leading nowhere: no logger, the commands hidden.
    TZelmor& showWithoutLogger();

    template <typename T>
    T* get(const char* name) {
        return control<T>(*window, name);
    }
    QPushButton* button(const char* name) { return get<QPushButton>(name); }
    QListWidget* list() { return get<QListWidget>("CheckListBoxTrack"); }
    QString memo();
    // The log's lines as Latin-1 bytes, empty lines left out.
    std::vector<std::string> memoLines();
    QString panel(int i);  // the status bar's panels 0 to 2

    // A command has ended once the command buttons are back.
    bool answered();
    // Clicks a command button and lets the event loop run until the command has ended and
    // `also` holds (when given), or the deadline has passed.
    ::testing::AssertionResult runCommand(const char* name, const std::function<bool()>& also = {},
                                          std::chrono::milliseconds deadline = kEndToEndDeadline);

    // An answer as if it had been collected, evaluated in status or download mode.
    void evaluateStatus(const std::string& answer) { evaluate(answer, false); }
    void evaluateDownload(const std::string& memory) { evaluate(memory, true); }
    // A download evaluated, then "igc-Datei speichern"; fails when the list is not offered.
    ::testing::AssertionResult openTrackList(const std::string& memory);

    // The track list: chosen as its click handler chooses, clicked, typed on, hovered.
    void chooseTrack(int row);
    void clickEntryText(int row);
    void clickTickBox(int row);
    void pressKey(int key, const QString& text = {});
    void hover(int row);  // the mouse rests on the entry: the help event of a tooltip
    std::vector<bool> ticks();

    // Answers the header dialog the next time it is shown modally: shows it (which loads the
    // stored values), types the fields and confirms with "Speichern", which must be offered,
    // or cancels; `afterAnswer` runs before the file is written.
    void answerHeaderDialog(HeaderFields fields, bool confirm = true,
                            std::function<void()> afterAnswer = {});
    // The file the window names as written ("Fertig"), nothing when it names none.
    std::optional<QString> writtenFile();

    std::unique_ptr<TZelmor> window;

private:
    void evaluate(const std::string& answer, bool download);
    void click(const QPoint& at);
};

}  // namespace qr::test

// The main window's last step: the chosen flight becomes a signed .igc file.
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/AppContext.h"
#include "common/QtLatin1.h"
#include "dialogs/TFormIGCKonfig.h"
#include "igc/IgcWriter.h"
#include "igc/uGRecDSA.h"
#include "logger/TZelmor.h"
#include "logger/TrackListFormat.h"

namespace qr {

namespace {

// The header dialog keeps the folder as 8-bit text; the file system wants its own bytes.
std::string fileSystemPath(const std::string& latin1Path) {
    return QFile::encodeName(fromLatin1Bytes(latin1Path)).toStdString();
}

}  // namespace

void TZelmor::connectWriter() {
    connect(ButtonFertig, &QPushButton::clicked, this,
            guarded(context_, [this] { ButtonFertigClick(); }));
}

void TZelmor::ButtonFertigClick() {
    const TrackSelection selection = trackSelection();
    if (selection.chosenIndex < 0) return;  // the button is offered only after a choice

    CheckListBoxTrack->hide();
    CheckBoxNamen->hide();
    SharedState& state = context_.state();
    state.namesFromLogger = selection.namesFromLogger;
    Memo2->hide();

    // Whatever happens below, the window ends usable: the log, the on/off commands and the
    // way back to the track list (a failed write can be tried again from there).
    struct RestoreButtons {
        TZelmor& window;
        ~RestoreButtons() {
            for (QWidget* control :
                 {static_cast<QWidget*>(window.Memo1), static_cast<QWidget*>(window.Label1),
                  static_cast<QWidget*>(window.ButtonOn), static_cast<QWidget*>(window.ButtonOff),
                  static_cast<QWidget*>(window.ButtonAuswertung)})
                control->show();
            window.ButtonFertig->hide();
        }
    } restore{*this};

    state.headerConfirmed = false;
    {
        TFormIGCKonfig dialog(context_, this);
        context_.prompts().execModal(dialog);
    }
    if (!state.headerConfirmed) return;

    IgcWriteRequest request;
    request.lines = std::span<const std::string>(*selection.lines);
    request.lineCount = static_cast<int>(selection.lineCount);
    request.firstARecord = selection.firstARecord;
    request.trackStarts = selection.startTable;
    request.chosenIndex = selection.chosenIndex;
    request.namesFromLogger = selection.namesFromLogger;
    request.header = state.igcHeader;
    request.header.saveDirectory = fileSystemPath(state.igcHeader.saveDirectory);
    request.applicationTitle = context_.title();
    request.shortDate = [](TDateTime value) {
        return toLatin1Bytes(QString::fromStdString(regionalShortDate(value)));
    };
    request.longTime = [](TDateTime value) {
        return toLatin1Bytes(QString::fromStdString(regionalLongTime(value)));
    };
    request.signer = signer_ ? signer_ : [](const std::string& path) { SignIgcFile(path); };
    const std::string path = writeIgcFile(request);

    QPalette palette = Label1->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    Label1->setPalette(palette);
    setCaption(Label1, "igc-File geschrieben (signiert) " + QFile::decodeName(path.c_str()));
}

}  // namespace qr

// The main window's track list: one entry per flight of the last download, of which the
// user ticks exactly one for the IGC file writer.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "app/AppContext.h"
#include "logger/TZelmor.h"
#include "logger/TrackListFormat.h"

namespace qr {

void TZelmor::connectTrackList() {
    connect(ButtonAuswertung, &QPushButton::clicked, this,
            guarded(context_, [this] { ButtonAuswertungClick(); }));
    // A click on the text arrives as a click. A move of the choice by the keyboard (arrows,
    // Home/End, Page keys, typing a letter) arrives as a change of the current entry; the
    // list has selected the new entry by then. A tick changed by the user (tick box, space
    // key) arrives as a change of the item; the list does not select an item whose tick box
    // was clicked, so the changed item becomes the selected one first.
    connect(CheckListBoxTrack, &QListWidget::itemClicked, this,
            guarded(context_, [this] { CheckListBoxTrackClickCheck(); }));
    connect(CheckListBoxTrack, &QListWidget::currentItemChanged, this,
            guarded(context_, [this](QListWidgetItem* current, QListWidgetItem*) {
                if (current) CheckListBoxTrackClickCheck();
            }));
    connect(CheckListBoxTrack, &QListWidget::itemChanged, this,
            guarded(context_, [this](QListWidgetItem* item) {
                CheckListBoxTrack->setCurrentItem(item);
                CheckListBoxTrackClickCheck();
            }));
    connect(CheckBoxNamen, &QCheckBox::clicked, this,
            guarded(context_, [this] { CheckBoxNamenClick(); }));
}

void TZelmor::ButtonAuswertungClick() {
    for (QWidget* control : {static_cast<QWidget*>(Memo1), static_cast<QWidget*>(Label1),
                             static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label3)})
        control->hide();
    CheckListBoxTrack->show();
    setCommandButtonsVisible(false);
    ButtonAuswertung->hide();
    ComboBoxBaud->hide();

    const QSignalBlocker quiet(CheckListBoxTrack);
    CheckListBoxTrack->clear();
    tracks_ = splitTracks(lineBuffer().lines(), static_cast<std::size_t>(std::max(lineCount(), 0)));
    const TrackTextFormat format = regionalTrackTextFormat(context_.state().language.name);
    for (const TrackEntry& entry : tracks_.entries) {
        auto* item = new QListWidgetItem(QString::fromStdString(trackEntryText(entry, format)),
                                         CheckListBoxTrack);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    // The entries before a failing record stay listed; the prompt is not shown.
    if (tracks_.error) throw *tracks_.error;

    setCaption(Label1, translated("Jetzt bitte einen Track auswählen, obige CheckBox prüfen und "
                                  "dann <Fertig> anklicken"));
    Label1->show();
}

void TZelmor::CheckListBoxTrackClickCheck() {
    ButtonFertig->show();
    CheckBoxNamen->show();
    const QSignalBlocker quiet(CheckListBoxTrack);
    const QListWidgetItem* selected = CheckListBoxTrack->currentItem();
    if (selected && !selected->isSelected()) selected = nullptr;
    for (int i = 0; i < CheckListBoxTrack->count(); ++i) {
        QListWidgetItem* item = CheckListBoxTrack->item(i);
        item->setCheckState(item == selected ? Qt::Checked : Qt::Unchecked);
    }
}

void TZelmor::CheckBoxNamenClick() {
    Memo2->setVisible(!CheckBoxNamen->isChecked() && tracks_.usb);
}

TrackSelection TZelmor::trackSelection() const {
    const QListWidgetItem* selected = CheckListBoxTrack->currentItem();
    return {&lineBuffer().lines(),
            static_cast<std::size_t>(std::max(lineCount(), 0)),
            tracks_.firstARecord,
            tracks_.startTable(),
            selected && selected->isSelected() ? CheckListBoxTrack->row(selected) : -1,
            CheckBoxNamen->isChecked()};
}

}  // namespace qr

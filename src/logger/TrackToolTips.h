#pragma once
// The tooltips of the track list: for each entry its flight's facts in words and, once the
// tooltip is first wanted, the barogram above them. The words are also the entry's
// accessible description, so a screen reader reads them without the picture.
//
// The tooltip is made of lines: the facts, then extra lines that others add or replace
// later by key (a score that is computed in the background), each shown at once.
#include <QObject>
#include <QString>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "flight/FlightFacts.h"
#include "logger/TrackScoreWorker.h"
#include "logger/TrackSplit.h"

class QListWidget;

namespace qr {

class TrackToolTips : public QObject {
    Q_OBJECT
public:
    // The tooltips of list, made on first use and owned by the list.
    static TrackToolTips& of(QListWidget* list);

    // Reads the facts of every entry of tracks from the line buffer and gives the list's
    // items (entry i is item i) their tooltips. Call after the list has been filled. The
    // cross-country score of each flight follows in the background (extra line "xc").
    void rebuild(const std::vector<std::string>& lines, const TrackList& tracks);

    // Adds the extra line key of entry, or replaces its text; the tooltip follows at once.
    void setExtraLine(int entry, const std::string& key, const QString& text);

    int count() const { return static_cast<int>(entries_.size()); }
    std::span<const flight::Fix> fixes(int entry) const;
    const flight::FlightFacts& facts(int entry) const;
    // The tooltip's lines as words (also the accessible description).
    QString words(int entry) const;
    // Draws the barogram of entry unless it is drawn already, and puts it into the tooltip.
    void drawPicture(int entry);
    bool pictureDrawn(int entry) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit TrackToolTips(QListWidget* list);

    struct Entry {
        std::vector<flight::Fix> fixes;
        flight::FlightFacts facts;
        std::vector<std::pair<std::string, QString>> extra;
        QString picture;  // the <img> of the barogram once drawn
        bool drawn = false;
    };

    bool has(int entry) const { return entry >= 0 && entry < count(); }
    std::vector<QString> lines(const Entry& entry) const;
    void apply(int entry);

    void startScores();

    QListWidget* list_;
    std::vector<Entry> entries_;
    int generation_ = 0;  // of the list; scores of an earlier list are dropped
    // Workers of earlier lists finish their flight in the background; the newest is last.
    std::vector<std::unique_ptr<TrackScoreWorker>> scoreWorkers_;
};

}  // namespace qr

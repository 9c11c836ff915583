#include "logger/TrackToolTips.h"

#include <QBuffer>
#include <QEvent>
#include <QHelpEvent>
#include <QListWidget>
#include <QSignalBlocker>
#include <algorithm>

#include "flight/Barogram.h"
#include "flight/FactsText.h"
#include "logger/TrackFixes.h"

namespace qr {

TrackToolTips& TrackToolTips::of(QListWidget* list) {
    if (auto* existing = list->findChild<TrackToolTips*>(QString(), Qt::FindDirectChildrenOnly))
        return *existing;
    return *new TrackToolTips(list);  // owned by the list
}

TrackToolTips::TrackToolTips(QListWidget* list) : QObject(list), list_(list) {
    list_->viewport()->installEventFilter(this);
}

void TrackToolTips::rebuild(const std::vector<std::string>& lines, const TrackList& tracks) {
    entries_.clear();
    entries_.resize(tracks.entries.size());
    for (std::size_t i = 0; i < tracks.entries.size(); ++i) {
        const TrackEntry& track = tracks.entries[i];
        Entry& entry = entries_[i];
        entry.fixes = fixesOfTrack(lines, track);
        entry.facts = flight::flightFacts(entry.fixes);
        if (!entry.fixes.empty())
            entry.extra.emplace_back("xc", QString::fromStdString(TrackScoreWorker::pendingLine()));
        apply(static_cast<int>(i));
    }
    startScores();
}

void TrackToolTips::startScores() {
    const int generation = ++generation_;
    for (auto& worker : scoreWorkers_) worker->stop();
    std::erase_if(scoreWorkers_, [](const auto& worker) { return worker->finished(); });
    std::vector<std::vector<flight::Fix>> flights;
    for (const Entry& entry : entries_) flights.push_back(entry.fixes);
    // The worker reports on its own thread; the line is put in on the list's thread. The
    // workers are members, so they are stopped and joined before this object goes.
    scoreWorkers_.push_back(std::make_unique<TrackScoreWorker>(
        std::move(flights), [this, generation](int entry, const std::string& line) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, entry, text = QString::fromStdString(line)] {
                    if (generation == generation_) setExtraLine(entry, "xc", text);
                },
                Qt::QueuedConnection);
        }));
}

void TrackToolTips::setExtraLine(int entry, const std::string& key, const QString& text) {
    if (!has(entry)) return;
    auto& extra = entries_[static_cast<std::size_t>(entry)].extra;
    const auto line = std::find_if(extra.begin(), extra.end(),
                                   [&](const auto& item) { return item.first == key; });
    if (line != extra.end())
        line->second = text;
    else
        extra.emplace_back(key, text);
    apply(entry);
}

std::span<const flight::Fix> TrackToolTips::fixes(int entry) const {
    if (!has(entry)) return {};
    return entries_[static_cast<std::size_t>(entry)].fixes;
}

const flight::FlightFacts& TrackToolTips::facts(int entry) const {
    static const flight::FlightFacts none;
    return has(entry) ? entries_[static_cast<std::size_t>(entry)].facts : none;
}

std::vector<QString> TrackToolTips::lines(const Entry& entry) const {
    std::vector<QString> out;
    for (const std::string& line : flight::factLines(entry.facts))
        out.push_back(QString::fromStdString(line));
    for (const auto& [key, text] : entry.extra) out.push_back(text);
    return out;
}

QString TrackToolTips::words(int entry) const {
    if (!has(entry)) return {};
    QStringList out;
    for (const QString& line : lines(entries_[static_cast<std::size_t>(entry)])) out << line;
    return out.join(QLatin1Char('\n'));
}

bool TrackToolTips::pictureDrawn(int entry) const {
    return has(entry) && entries_[static_cast<std::size_t>(entry)].drawn;
}

void TrackToolTips::drawPicture(int entry) {
    if (!has(entry) || pictureDrawn(entry)) return;
    Entry& e = entries_[static_cast<std::size_t>(entry)];
    e.drawn = true;
    const qreal ratio = std::max<qreal>(list_->viewport()->devicePixelRatio(), 1);
    const QImage image = flight::drawBarogram(e.fixes, e.facts, ratio);
    if (!image.isNull()) {
        // A tooltip is rich text; the picture goes in as a data URL, drawn at its size in
        // device-independent pixels so it stays sharp on a high-resolution screen.
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        e.picture = QStringLiteral(
                        "<img src=\"data:image/png;base64,%1\" width=\"%2\" "
                        "height=\"%3\" alt=\"Barogramm\">")
                        .arg(QString::fromLatin1(png.toBase64()))
                        .arg(flight::kBarogramSize.width())
                        .arg(flight::kBarogramSize.height());
    }
    apply(entry);
}

void TrackToolTips::apply(int entry) {
    QListWidgetItem* item = list_->item(entry);
    if (!item) return;
    const Entry& e = entries_[static_cast<std::size_t>(entry)];
    QString html = QStringLiteral("<div style=\"white-space:pre\">");
    if (!e.picture.isEmpty()) html += e.picture + QStringLiteral("<br>");
    QStringList escaped;
    for (const QString& line : lines(e)) escaped << line.toHtmlEscaped();
    html += escaped.join(QStringLiteral("<br>")) + QStringLiteral("</div>");
    // The list's handlers take a changed item for a changed tick; these are no ticks.
    const QSignalBlocker quiet(list_);
    item->setData(Qt::ToolTipRole, html);
    item->setData(Qt::AccessibleDescriptionRole, words(entry));
}

bool TrackToolTips::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip && watched == list_->viewport()) {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (QListWidgetItem* item = list_->itemAt(help->pos())) drawPicture(list_->row(item));
    }
    return false;  // the list shows the tooltip
}

}  // namespace qr

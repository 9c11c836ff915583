#include "logger/TrackListFormat.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include "app/Translation.h"

namespace qr {

QString withoutTimeZone(const QString& timeFormat) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < timeFormat.size(); ++i) {
        const QChar c = timeFormat[i];
        if (c == u'\'') quoted = !quoted;
        if (!quoted && c == u't') {
            // Drop the zone field and the blanks that set it apart.
            while (!out.isEmpty() && out.back() == u' ') out.chop(1);
            while (i + 1 < timeFormat.size() && timeFormat[i + 1] == u't') ++i;
            while (i + 1 < timeFormat.size() && timeFormat[i + 1] == u' ' && out.isEmpty()) ++i;
            continue;
        }
        out += c;
    }
    return out.trimmed();
}

std::string regionalShortDate(TDateTime value) {
    const CivilDate d = DecodeDate(value);
    return QLocale::system()
        .toString(QDate(d.year, d.month, d.day), QLocale::ShortFormat)
        .toStdString();
}

std::string regionalLongTime(TDateTime value) {
    const TimeOfDay t = DecodeTime(value);
    const QLocale locale = QLocale::system();
    return locale
        .toString(QTime(t.hour, t.minute, t.second),
                  withoutTimeZone(locale.timeFormat(QLocale::LongFormat)))
        .toStdString();
}

TrackTextFormat regionalTrackTextFormat(const std::string& languageName) {
    TrackTextFormat format{regionalShortDate, regionalLongTime};
    format.track = Translate(languageName, "Track").toStdString();
    format.points = Translate(languageName, "Punkte").toStdString();
    format.emptyTrack = Translate(languageName, "leerer Track, abspeichern sinnlos").toStdString();
    return format;
}

}  // namespace qr

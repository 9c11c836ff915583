#include "flight/Barogram.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "flight/FactsText.h"

namespace qr::flight {
namespace {

// The colours of the button pictures.
const QColor kOutline(40, 40, 40);
const QColor kBody(70, 110, 170);
const QColor kGo(40, 150, 60);
const QColor kStop(200, 50, 40);
const QColor kPaper(250, 250, 250);
const QColor kText(110, 120, 135);
const QColor kGrid(222, 226, 232);
const QColor kArea(70, 110, 170, 70);

constexpr int kLeft = 54;  // room for the metre labels
constexpr int kRight = 12;
constexpr int kTop = 20;  // room for the take-off and landing labels
constexpr int kBottom = 24;
constexpr int kFontPixels = 10;

QPen pen(const QColor& colour, qreal width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A round step for about `most` intervals over range.
int niceStep(double range, int most, std::span<const int> steps) {
    for (const int step : steps)
        if (range / step <= most) return step;
    return steps.back() * static_cast<int>(std::ceil(range / most / steps.back()));
}

constexpr std::array kMetreSteps = {10, 20, 25, 50, 100, 200, 250, 500, 1000, 2000, 2500, 5000};
constexpr std::array kMinuteSteps = {1, 2, 5, 10, 15, 20, 30, 60, 120, 180, 360};

std::string hoursAndMinutes(int time) {
    return timeOfDayText(time).substr(0, 5);
}

// The highest altitude in each pixel column of the plot: enough for a line that looks like
// the one through every fix, and as fast for a long flight as for a short one.
struct Columns {
    std::vector<int> top;
    std::vector<bool> used;
};

Columns columnsOf(std::span<const Fix> fixes, AltitudeSource source, int from, int span,
                  int count) {
    Columns columns{std::vector<int>(count, std::numeric_limits<int>::min()),
                    std::vector<bool>(count, false)};
    for (const Fix& fix : fixes) {
        const auto altitude = altitudeOf(fix, source);
        if (!altitude) continue;
        const long long offset = std::clamp(fix.time - from, 0, span);
        const auto column = static_cast<std::size_t>(offset * (count - 1) / span);
        columns.top[column] = std::max(columns.top[column], *altitude);
        columns.used[column] = true;
    }
    return columns;
}

class Plot {
public:
    Plot(QPainter& painter, QSize size, int from, int span, int low, int high)
        : p_(painter),
          area_(kLeft, kTop, size.width() - kLeft - kRight, size.height() - kTop - kBottom),
          from_(from),
          span_(span),
          low_(low),
          high_(high) {}

    const QRectF& area() const { return area_; }
    qreal x(double time) const { return area_.left() + (time - from_) * area_.width() / span_; }
    qreal y(double altitude) const {
        return area_.bottom() - (altitude - low_) * area_.height() / (high_ - low_);
    }
    // A one-pixel line on pixel centres at every ratio of 1 and 2.
    static qreal crisp(qreal v) { return std::floor(v) + 0.5; }

    void metreAxis(int step) {
        p_.setPen(pen(kText, 1));
        for (int m = low_; m <= high_; m += step) {
            const qreal at = crisp(y(m));
            p_.setPen(pen(kGrid, 1));
            p_.drawLine(QPointF(area_.left(), at), QPointF(area_.right(), at));
            p_.setPen(pen(kText, 1));
            p_.drawText(QRectF(0, at - 8, kLeft - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                        QString::fromStdString(germanNumber(m) + " m"));
        }
    }

    void hourAxis(int minutes) {
        const int step = minutes * 60;
        const int first = (from_ + step - 1) / step * step;
        for (int t = first; t <= from_ + span_; t += step) {
            const qreal at = crisp(x(t));
            p_.setPen(pen(kGrid, 1));
            p_.drawLine(QPointF(at, area_.top()), QPointF(at, area_.bottom()));
            p_.setPen(pen(kOutline, 1));
            p_.drawLine(QPointF(at, crisp(area_.bottom())), QPointF(at, area_.bottom() + 4));
            p_.setPen(pen(kText, 1));
            p_.drawText(QRectF(at - 30, area_.bottom() + 5, 60, 14), Qt::AlignCenter,
                        QString::fromStdString(hoursAndMinutes(t)));
        }
        p_.drawText(QRectF(0, area_.bottom() + 5, kLeft - 6, 14), Qt::AlignRight | Qt::AlignVCenter,
                    QStringLiteral("UTC"));
    }

    void curve(const Columns& columns) {
        QPainterPath line;
        int points = 0;
        qreal firstX = 0;
        qreal lastX = 0;
        const auto count = columns.top.size();
        for (std::size_t c = 0; c < count; ++c) {
            if (!columns.used[c]) continue;
            const QPointF point(
                area_.left() + area_.width() * c / std::max<std::size_t>(count - 1, 1),
                y(columns.top[c]));
            if (points++ == 0) {
                line.moveTo(point);
                firstX = point.x();
            } else {
                line.lineTo(point);
            }
            lastX = point.x();
        }
        if (points == 0) return;
        QPainterPath fill = line;
        fill.lineTo(lastX, area_.bottom());
        fill.lineTo(firstX, area_.bottom());
        fill.closeSubpath();
        p_.setPen(Qt::NoPen);
        p_.setBrush(kArea);
        p_.drawPath(fill);
        p_.setBrush(Qt::NoBrush);
        p_.setPen(pen(kBody, 1.5));
        if (points == 1) {
            p_.setBrush(kBody);
            p_.drawEllipse(line.elementAt(0), 2, 2);
            p_.setBrush(Qt::NoBrush);
        }
        p_.drawPath(line);
    }

    // A mark at time: a vertical line, a dot on the curve and the word above the plot.
    void mark(int time, std::optional<int> altitude, const QColor& colour, const QString& word,
              Qt::Alignment side) {
        const qreal at = crisp(x(time));
        p_.setPen(QPen(colour, 1, Qt::DashLine, Qt::FlatCap));
        p_.drawLine(QPointF(at, area_.top()), QPointF(at, area_.bottom()));
        if (altitude) {
            p_.setPen(pen(kOutline, 1));
            p_.setBrush(colour);
            p_.drawEllipse(QPointF(at, y(*altitude)), 3.5, 3.5);
            p_.setBrush(Qt::NoBrush);
        }
        p_.setPen(pen(colour, 1));
        const QRectF box = side & Qt::AlignLeft ? QRectF(at - 2, 2, 80, kTop - 4)
                                                : QRectF(at - 78, 2, 80, kTop - 4);
        p_.drawText(box, side | Qt::AlignVCenter, word);
    }

    void frame() {
        p_.setPen(pen(kOutline, 1));
        const qreal left = crisp(area_.left());
        const qreal bottom = crisp(area_.bottom());
        p_.drawLine(QPointF(left, area_.top()), QPointF(left, bottom));
        p_.drawLine(QPointF(left, bottom), QPointF(area_.right(), bottom));
    }

private:
    QPainter& p_;
    QRectF area_;
    int from_;
    int span_;
    int low_;
    int high_;
};

// The altitude of the fix nearest to time in the source, for the marks.
std::optional<int> altitudeAt(std::span<const Fix> fixes, AltitudeSource source, int time) {
    std::optional<int> best;
    int distance = std::numeric_limits<int>::max();
    for (const Fix& fix : fixes) {
        const auto altitude = altitudeOf(fix, source);
        if (altitude && std::abs(fix.time - time) < distance) {
            distance = std::abs(fix.time - time);
            best = altitude;
        }
    }
    return best;
}

}  // namespace

QImage drawBarogram(std::span<const Fix> fixes, const FlightFacts& facts, qreal ratio, QSize size) {
    if (fixes.empty()) return {};
    QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(kPaper);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font = p.font();
    font.setPixelSize(kFontPixels);
    p.setFont(font);

    const int from = facts.firstFixTime;
    const int span = std::max(facts.lastFixTime - from, 60);
    const auto range = facts.altitude();
    const int lowest = range ? range->lowest : 0;
    const int highest = range ? range->highest : 100;
    const int metreStep = niceStep(std::max(highest - lowest, 1), 6, kMetreSteps);
    const int low = static_cast<int>(std::floor(double(lowest) / metreStep)) * metreStep;
    const int high = std::max(static_cast<int>(std::ceil(double(highest) / metreStep)) * metreStep,
                              low + metreStep);

    Plot plot(p, size, from, span, low, high);
    plot.metreAxis(metreStep);
    plot.hourAxis(niceStep(span / 60.0, 5, kMinuteSteps));
    const int columns = static_cast<int>(plot.area().width() * ratio);
    plot.curve(columnsOf(fixes, facts.source, from, span, columns));
    plot.mark(facts.takeOffTime, altitudeAt(fixes, facts.source, facts.takeOffTime), kGo,
              QStringLiteral("Start"), Qt::AlignLeft);
    plot.mark(facts.landingTime, altitudeAt(fixes, facts.source, facts.landingTime), kStop,
              QStringLiteral("Landung"), Qt::AlignRight);
    plot.frame();
    if (!range) {
        p.setPen(pen(kText, 1));
        p.drawText(plot.area(), Qt::AlignCenter, QStringLiteral("keine Höhe aufgezeichnet"));
    }
    return image;
}

}  // namespace qr::flight

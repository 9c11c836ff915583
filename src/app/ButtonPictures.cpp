#include "app/ButtonPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QStyle>
#include <QWidget>
#include <cmath>
#include <numbers>

namespace qr {
namespace {

// All pictures are drawn on a 32 × 32 grid and scaled to the pixmap. Strokes are two grid
// units wide: one pixel at the smallest size a button shows, so the shapes stay closed.
constexpr qreal kGrid = 32.0;
constexpr qreal kStroke = 2.0;

const QColor kOutline(40, 40, 40);
const QColor kBody(70, 110, 170);      // the logger's case
const QColor kDisplay(200, 230, 200);  // the logger's display
const QColor kGo(40, 150, 60);
const QColor kStop(200, 50, 40);
const QColor kPaper(250, 250, 250);
const QColor kMetal(160, 168, 178);
const QColor kMark(255, 255, 255);  // marks inside a coloured badge
const QColor kText(110, 120, 135);  // rows of text on a sheet

QPen outlinePen(qreal width = kStroke) {
    return QPen(kOutline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPen linePen(const QColor& colour, qreal width) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void drawLogger(QPainter& p, const QRectF& body) {
    p.setPen(outlinePen());
    p.setBrush(kBody);
    p.drawRoundedRect(body, 3, 3);
    p.setBrush(kDisplay);
    p.setPen(outlinePen(1.5));
    const qreal margin = body.width() * 0.2;
    p.drawRect(QRectF(body.left() + margin, body.top() + 4, body.width() - 2 * margin,
                      body.height() * 0.3));
}

// A round badge in the lower right corner, over whatever was drawn before.
constexpr QPointF kBadgeCentre(22, 22);
constexpr qreal kBadgeRadius = 9;

void drawBadge(QPainter& p, const QColor& colour) {
    p.setPen(outlinePen());
    p.setBrush(colour);
    p.drawEllipse(kBadgeCentre, kBadgeRadius, kBadgeRadius);
}

void drawLoggerOn(QPainter& p) {
    drawLogger(p, QRectF(3, 2, 16, 27));
    drawBadge(p, kGo);
    p.setPen(Qt::NoPen);
    p.setBrush(kMark);
    p.drawPolygon(QPolygonF({QPointF(19, 17), QPointF(19, 27), QPointF(27.5, 22)}));
}

void drawLoggerOff(QPainter& p) {
    drawLogger(p, QRectF(3, 2, 16, 27));
    drawBadge(p, kStop);
    p.setPen(Qt::NoPen);
    p.setBrush(kMark);
    p.drawRect(QRectF(18, 18, 8, 8));
}

void drawStatus(QPainter& p) {
    p.setPen(outlinePen());
    p.setBrush(kOutline);
    p.drawRoundedRect(QRectF(26.5, 12, 3.5, 8), 1, 1);  // the battery's pole
    p.setBrush(kPaper);
    p.drawRoundedRect(QRectF(2, 7, 25, 18), 2.5, 2.5);
    // Three of four cells charged.
    p.setPen(Qt::NoPen);
    p.setBrush(kGo);
    for (int cell = 0; cell < 3; ++cell) p.drawRect(QRectF(5 + cell * 5.5, 10, 4, 12));
}

void drawReadTracks(QPainter& p) {
    QPainterPath tray;
    tray.moveTo(2, 16);
    tray.lineTo(2, 29);
    tray.lineTo(30, 29);
    tray.lineTo(30, 16);
    tray.lineTo(25, 16);
    tray.lineTo(25, 23.5);
    tray.lineTo(7, 23.5);
    tray.lineTo(7, 16);
    tray.closeSubpath();
    p.setPen(outlinePen());
    p.setBrush(kBody);
    p.drawPath(tray);

    QPainterPath arrow;
    arrow.moveTo(12, 2);
    arrow.lineTo(20, 2);
    arrow.lineTo(20, 10);
    arrow.lineTo(26, 10);
    arrow.lineTo(16, 21);
    arrow.lineTo(6, 10);
    arrow.lineTo(12, 10);
    arrow.closeSubpath();
    p.setBrush(kGo);
    p.drawPath(arrow);
}

void drawSheet(QPainter& p, const QRectF& sheet, bool foldedCorner) {
    constexpr qreal fold = 7;
    QPainterPath outline;
    outline.moveTo(sheet.topLeft());
    outline.lineTo(sheet.right() - (foldedCorner ? fold : 0), sheet.top());
    outline.lineTo(sheet.right(), sheet.top() + (foldedCorner ? fold : 0));
    outline.lineTo(sheet.bottomRight());
    outline.lineTo(sheet.bottomLeft());
    outline.closeSubpath();
    p.setPen(outlinePen());
    p.setBrush(kPaper);
    p.drawPath(outline);
    if (foldedCorner) {
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(sheet.right() - fold, sheet.top()),
                                  QPointF(sheet.right() - fold, sheet.top() + fold),
                                  QPointF(sheet.right(), sheet.top() + fold)}));
    }
}

void drawTick(QPainter& p, const QPointF& start, qreal size, const QColor& colour, qreal width) {
    p.setPen(linePen(colour, width));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF(
        {start, start + QPointF(size * 0.35, size * 0.4), start + QPointF(size, -size * 0.45)}));
}

void drawTrackList(QPainter& p) {
    drawSheet(p, QRectF(3, 2, 26, 28), false);
    for (int row = 0; row < 3; ++row) {
        const qreal y = 9 + row * 8;
        drawTick(p, QPointF(6.5, y), 7, kGo, 2.5);
        p.setPen(linePen(kText, 2.5));
        p.drawLine(QPointF(16, y), QPointF(25, y));
    }
}

void drawDeleteTracks(QPainter& p) {
    p.setPen(outlinePen());
    p.setBrush(kMetal);
    p.drawRoundedRect(QRectF(12, 2, 8, 4), 1, 1);  // the lid's handle
    QPainterPath body;
    body.moveTo(6.5, 10);
    body.lineTo(8.5, 30);
    body.lineTo(23.5, 30);
    body.lineTo(25.5, 10);
    body.closeSubpath();
    p.drawPath(body);
    p.drawRoundedRect(QRectF(4, 5, 24, 5), 1.5, 1.5);  // the lid
    p.setPen(outlinePen(1.75));
    for (const qreal x : {12.0, 16.0, 20.0}) p.drawLine(QPointF(x, 14), QPointF(x, 26));
}

void drawLoggerSettings(QPainter& p) {
    constexpr int teeth = 8;
    constexpr qreal outer = 14.5;
    constexpr qreal inner = 10.5;
    constexpr qreal toDegrees = std::numbers::pi / 180.0;
    const QPointF centre(16, 16);
    auto at = [&](qreal radius, qreal degrees) {
        return centre + QPointF(radius * std::cos(degrees * toDegrees),
                                radius * std::sin(degrees * toDegrees));
    };
    QPolygonF gear;
    for (int tooth = 0; tooth < teeth; ++tooth) {
        const qreal middle = tooth * 360.0 / teeth + 22.5;
        gear << at(inner, middle - 13) << at(outer, middle - 8) << at(outer, middle + 8)
             << at(inner, middle + 13);
    }
    p.setPen(outlinePen());
    p.setBrush(kBody);
    p.drawPolygon(gear);
    p.setBrush(kDisplay);
    p.drawEllipse(centre, 4.5, 4.5);
}

void drawDone(QPainter& p) {
    drawSheet(p, QRectF(4, 2, 20, 26), true);
    p.setPen(linePen(kText, 2));
    for (const qreal y : {11.0, 15.5, 20.0})
        p.drawLine(QPointF(8, y), QPointF(y < 12 ? 16 : 20, y));
    drawBadge(p, kGo);
    drawTick(p, QPointF(17.5, 22.5), 9, kMark, 2.5);
}

void drawClose(QPainter& p) {
    p.setPen(outlinePen());
    p.setBrush(kStop);
    p.drawEllipse(QPointF(16, 16), 13.5, 13.5);
    p.setPen(linePen(kMark, 3.5));
    p.drawLine(QPointF(11, 11), QPointF(21, 21));
    p.drawLine(QPointF(21, 11), QPointF(11, 21));
}

void drawSendSettings(QPainter& p) {
    drawLogger(p, QRectF(17, 3, 13, 26));
    QPainterPath arrow;
    arrow.moveTo(2, 12.5);
    arrow.lineTo(8, 12.5);
    arrow.lineTo(8, 7);
    arrow.lineTo(16, 16);
    arrow.lineTo(8, 25);
    arrow.lineTo(8, 19.5);
    arrow.lineTo(2, 19.5);
    arrow.closeSubpath();
    p.setPen(outlinePen());
    p.setBrush(kGo);
    p.drawPath(arrow);
}

void draw(QPainter& p, ButtonPicture picture) {
    switch (picture) {
        case ButtonPicture::LoggerOn:
            return drawLoggerOn(p);
        case ButtonPicture::LoggerOff:
            return drawLoggerOff(p);
        case ButtonPicture::Status:
            return drawStatus(p);
        case ButtonPicture::ReadTracks:
            return drawReadTracks(p);
        case ButtonPicture::TrackList:
            return drawTrackList(p);
        case ButtonPicture::DeleteTracks:
            return drawDeleteTracks(p);
        case ButtonPicture::LoggerSettings:
            return drawLoggerSettings(p);
        case ButtonPicture::Done:
            return drawDone(p);
        case ButtonPicture::Close:
            return drawClose(p);
        case ButtonPicture::SendSettings:
            return drawSendSettings(p);
    }
}

}  // namespace

QPixmap buttonPixmap(ButtonPicture picture, int side) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(side / kGrid, side / kGrid);
    draw(painter, picture);
    return pixmap;
}

QIcon buttonIcon(ButtonPicture picture, const QWidget* owner) {
    const int side = owner->style()->pixelMetric(QStyle::PM_ButtonIconSize, nullptr, owner);
    QIcon icon;
    icon.addPixmap(buttonPixmap(picture, side));
    icon.addPixmap(buttonPixmap(picture, side * 2));
    return icon;
}

}  // namespace qr

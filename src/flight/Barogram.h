#pragma once
// The barogram: a flight's altitude over time, with an axis of hours (UTC) and one of
// metres, take-off and landing marked; drawn in the colours and strokes of the program's
// button pictures. Needs a QGuiApplication (for its fonts), no window.
#include <QImage>
#include <QSize>
#include <span>

#include "flight/FlightFacts.h"

namespace qr::flight {

inline constexpr QSize kBarogramSize(400, 200);  // device-independent pixels

// The barogram of fixes (whose facts are given) at size, in an image of size × ratio pixels
// that carries ratio as its device pixel ratio, so it is sharp on screens of that ratio.
// A track without altitudes gets the axes and a note; a null image for no fixes at all.
QImage drawBarogram(std::span<const Fix> fixes, const FlightFacts& facts, qreal ratio,
                    QSize size = kBarogramSize);

}  // namespace qr::flight

#pragma once

#include <QPainter>

// Text on a transparent background, its top at `at.y()` and its left (AlignLeft) or right
// (AlignRight) edge at `at.x()`, in the painter's pen colour.
inline void drawPlotText(QPainter& p, QPoint at, const QString& text, Qt::Alignment horizontal) {
    constexpr int kRoom = 1000;
    const QRect box = horizontal & Qt::AlignRight ? QRect(at.x() - kRoom, at.y(), kRoom, kRoom)
                                                  : QRect(at.x(), at.y(), kRoom, kRoom);
    p.drawText(box, static_cast<int>(horizontal | Qt::AlignTop) | Qt::TextSingleLine, text);
}

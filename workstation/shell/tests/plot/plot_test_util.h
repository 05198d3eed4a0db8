#pragma once

#include <QApplication>
#include <QImage>
#include <QWidget>

#include "plot_wnd.h"

// Places a created plot window so that its client area is exactly w x h.
inline void setClientSize(CPlotWnd& wnd, int w, int h) {
    QApplication::processEvents();
    const int extraW = wnd.width() - wnd.viewport()->width();
    const int extraH = wnd.height() - wnd.viewport()->height();
    wnd.placeAt(QRect(wnd.x(), wnd.y(), w + extraW, h + extraH));
    QApplication::processEvents();
}

inline QImage grabClient(CPlotWnd& wnd) {
    QApplication::processEvents();
    return wnd.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline int countColour(const QImage& img, const QRect& r, QRgb colour) {
    int n = 0;
    const QRect c = r & img.rect();
    for (int y = c.top(); y <= c.bottom(); ++y)
        for (int x = c.left(); x <= c.right(); ++x) n += (img.pixel(x, y) & 0xffffff) == (colour & 0xffffff);
    return n;
}

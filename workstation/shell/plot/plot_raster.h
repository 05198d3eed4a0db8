#pragma once

#include <QImage>
#include <QPoint>

// Line drawing on a plot picture with the window system's pen semantics: a line starts at the
// current point, includes its first pixel and leaves out its last, and the end becomes the new
// current point. (QPainter always leaves out the bottom-right end instead, which opens gaps at
// the corners of upward steps.) Pixels off the picture are skipped; the work per line is
// bounded by the picture size, whatever the coordinates.
class PlotRaster {
public:
    enum class Style { Solid, Dotted };  // dotted: one pixel on, two off, from the line's start

    explicit PlotRaster(QImage& picture) : m_img(picture) {}

    void setPen(QRgb colour, Style style = Style::Solid) {
        m_colour = colour;
        m_style = style;
    }
    void moveTo(QPoint p) { m_at = p; }
    void lineTo(QPoint p);
    void line(QPoint from, QPoint to) {
        moveTo(from);
        lineTo(to);
    }
    QPoint currentPoint() const { return m_at; }

private:
    QImage& m_img;
    QRgb m_colour = 0xff000000;
    Style m_style = Style::Solid;
    QPoint m_at;
};

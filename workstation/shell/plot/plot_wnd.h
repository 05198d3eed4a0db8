#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QImage>

#include "plot_scroll.h"

// Common frame of the plot windows: an off-screen picture larger than the window that is drawn
// once when data arrives and shown by one copy of its visible part, scrolled horizontally over
// it. The bottom of the picture (pictureHeight()) always sits at the bottom of the window.
//
// The picture is Format_RGB32: the window's backing store is RGB32 too, so the copy is a plain
// block move, and colours read back exactly as they were drawn.
class CPlotWnd : public QAbstractScrollArea {
    Q_OBJECT
public:
    // Creates the window as a visible child of `parent` in `rect` and allocates its picture.
    // False when the picture could not be allocated: the window then stays empty and every
    // drawing call does nothing.
    bool createWindow(QWidget* parent, const QRect& rect);
    bool isCreated() const { return m_created; }

    // Moves and sizes the window, and runs the resize handling even when the size is unchanged
    // (so a changed picture size takes effect, as the owner expects from a move).
    void placeAt(const QRect& rect);

    PlotScrollInfo scrollInfo() const { return m_scroll; }
    // The owner's scroll setup; the position is clamped to what the range allows.
    void setScrollInfo(const PlotScrollInfo& info);
    // One horizontal scroll request, as the scroll bar sends them.
    void hScroll(PlotScrollRequest request, int trackPos = 0);

    const QImage& picture() const { return m_picture; }
    QColor backgroundColour() const { return m_background; }

protected:
    CPlotWnd(QSize pictureSize, int lineStep, const QString& text, const QString& id, QWidget* parent);

    virtual int pictureHeight() const = 0;
    virtual void clientResized(int width, int height) = 0;

    void fillPicture();
    void setRange(int min, int max);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

    QImage m_picture;
    QColor m_background{182, 252, 182};

private:
    void onScrollAction(int action);
    void syncScrollBar();

    QSize m_pictureSize;
    int m_lineStep;
    bool m_created = false;
    bool m_syncing = false;
    PlotScrollInfo m_scroll;
};

// GDI-style rounding of a scaled coordinate: add 0.5 and truncate. Huge products are held to a
// range far outside any picture so that the conversion stays defined.
int plotNear(float v);
int plotTruncate(float v);

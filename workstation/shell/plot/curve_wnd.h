#pragma once

#include "plot_wnd.h"

// Waveform window: long sampled curves on a 20000 x 800 picture with numbered marks below
// them. The base line is y = 780; x = 30 is sample 0.
class CCurveWnd : public CPlotWnd {
    Q_OBJECT
public:
    static constexpr int kWidth = 20000;
    static constexpr int kHeight = 800;
    static constexpr int kBaseX = 30;
    static constexpr int kBaseY = 780;

    explicit CCurveWnd(QWidget* parent = nullptr);

    void setCurveColour(const QColor& c) { m_curveColour = c; }
    QColor curveColour() const { return m_curveColour; }
    void setMarkColour(const QColor& c) { m_markColour = c; }
    QColor markColour() const { return m_markColour; }
    float verticalScale() const { return m_vScale; }
    float horizontalScale() const { return m_hScale; }

    // A line from the base point through every sample; samples past the right edge are cut.
    void drawCurve(int count, const int* values);
    // A tick under each position and its 1-based number, right-aligned at the tick.
    void drawMarks(const int* positions, int count);
    // Fills the picture with the background and repaints.
    void clear();

protected:
    int pictureHeight() const override { return kHeight; }
    void clientResized(int width, int height) override;

private:
    QColor m_markColour{Qt::black};
    QColor m_curveColour{255, 0, 0};
    float m_vScale = 0.0f;
    float m_hScale = 2.0f;
};

#pragma once

#include <span>

#include "plot_wnd.h"

// Gray level window: a stepped profile over the 48 channels on a labelled grid, drawn on a
// 2000 x 2000 picture of which the top-left width x height part is used.
class CGrayWnd : public CPlotWnd {
    Q_OBJECT
public:
    static constexpr int kSize = 2000;
    static constexpr int kChannels = 48;
    static constexpr int kOriginX = 20;
    static constexpr int kTop = 25;

    explicit CGrayWnd(QWidget* parent = nullptr);

    // The part of the picture that axes, profile and painting use; held to 1 .. 2000. Takes
    // effect at the next resize or placeAt().
    void setPictureSize(int width, int height);
    int pictureWidth() const { return m_width; }
    int pictureHeightUsed() const { return m_height; }
    int baseLine() const { return m_height - 25; }
    int rightEnd() const { return m_width - 10; }

    void setProfileColour(const QColor& c) { m_profileColour = c; }
    QColor profileColour() const { return m_profileColour; }
    float horizontalStep() const { return m_hStep; }
    float verticalScale() const { return m_vScale; }

    void clear();
    void drawAxes();
    // One 15-pixel step per channel at height value x vertical scale (at most 48 channels).
    void drawProfile(std::span<const int> values);

protected:
    int pictureHeight() const override { return m_height; }
    void clientResized(int width, int height) override;

private:
    int m_width = kSize;
    int m_height = kSize;
    QColor m_profileColour{Qt::black};
    float m_hStep = 15.0f;
    float m_vScale = static_cast<float>(kSize - 50) / 16.0f;
};

// The workstation's artwork, drawn in code: the 24-pixel toolbar images and
// the start page picture (bitmap 329).
#pragma once

#include <QIcon>
#include <QImage>

namespace artwork {

constexpr int kToolbarIconSize = 24;
constexpr int kStartPageWidth = 1023;
constexpr int kStartPageHeight = 609;

// The toolbar image of a command; a null icon for a command without one.
QIcon commandIcon(int command);
// The start page picture, 1023 by 609 pixels (drawn once, then shared).
const QImage& startPageBitmap();

}  // namespace artwork

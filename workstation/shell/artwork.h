// The workstation's artwork, drawn in code: the 24-pixel toolbar images, the
// program's icon and the start page picture (bitmap 329).
#pragma once

#include <QIcon>
#include <QImage>

namespace artwork {

constexpr int kToolbarIconSize = 24;
constexpr int kStartPageWidth = 1023;
constexpr int kStartPageHeight = 609;

// The toolbar image of a command; a null icon for a command without one.
QIcon commandIcon(int command);
// The program's icon (window and desktop entry), drawn like the toolbar
// images on their 24-unit grid; the sizes the desktop entry ships.
constexpr int kApplicationIconSizes[] = {16, 24, 32, 48, 64, 128, 256};
QImage applicationImage(int size);
QIcon applicationIcon();
// The start page picture, 1023 by 609 pixels (drawn once, then shared).
const QImage& startPageBitmap();

}  // namespace artwork

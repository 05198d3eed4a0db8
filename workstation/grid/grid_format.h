#pragma once

#include <QFlags>
#include <Qt>

// How a cell lays out its text. Stored in six bits per cell, so the set is closed.
enum class GridFormatFlag : quint8 {
    Left = 0x00,
    HCenter = 0x01,
    Right = 0x02,
    Top = 0x00,
    VCenter = 0x04,
    Bottom = 0x08,
    SingleLine = 0x10,   // no wrapping; line breaks are shown as blanks
    EndEllipsis = 0x20,  // "..." at the end when the text does not fit
};
Q_DECLARE_FLAGS(GridFormat, GridFormatFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(GridFormat)

inline constexpr quint8 kGridFormatMask = 0x3f;

// The usual format of the workstation's tables.
inline constexpr GridFormat kGridCentred{GridFormatFlag::HCenter, GridFormatFlag::VCenter,
                                         GridFormatFlag::SingleLine, GridFormatFlag::EndEllipsis};

inline Qt::Alignment gridAlignment(GridFormat f) {
    Qt::Alignment a = f.testFlag(GridFormatFlag::Right)     ? Qt::AlignRight
                      : f.testFlag(GridFormatFlag::HCenter) ? Qt::AlignHCenter
                                                            : Qt::AlignLeft;
    a |= f.testFlag(GridFormatFlag::Bottom)    ? Qt::AlignBottom
         : f.testFlag(GridFormatFlag::VCenter) ? Qt::AlignVCenter
                                               : Qt::AlignTop;
    return a;
}

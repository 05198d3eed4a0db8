#include "grid_cells.h"

#include <gtest/gtest.h>

namespace {

TEST(GridCells, TextsRoundTripPackedAndPooled) {
    CGridCells cells;
    ASSERT_TRUE(cells.resize(2, 8));
    const QString texts[] = {QString(),
                             QStringLiteral("A"),
                             QStringLiteral("4D"),
                             QStringLiteral("%2d"),
                             QStringLiteral("abcd"),
                             QStringLiteral("abcde"),
                             QString::fromUtf8("温馨提示"),
                             QString(QChar(0x7f)) + QChar(0x80)};
    for (int c = 0; c < 8; ++c) ASSERT_TRUE(cells.setText(1, c, texts[c]));
    for (int c = 0; c < 8; ++c) EXPECT_EQ(cells.text(1, c), texts[c]) << c;
    quint32 packed;
    EXPECT_TRUE(cells.packedText(1, 2, packed));
    EXPECT_TRUE(cells.packedText(1, 4, packed));
    EXPECT_FALSE(cells.packedText(1, 5, packed));
    EXPECT_FALSE(cells.packedText(1, 6, packed));
    EXPECT_FALSE(cells.packedText(1, 7, packed));
    EXPECT_EQ(cells.pooledTexts(), 3u);
}

TEST(GridCells, PoolSlotsAreRecycled) {
    CGridCells cells;
    ASSERT_TRUE(cells.resize(3, 3));
    for (int i = 0; i < 100; ++i) cells.setText(0, 0, QStringLiteral("long text %1").arg(i));
    EXPECT_EQ(cells.pooledTexts(), 1u);
    EXPECT_EQ(cells.text(0, 0), QStringLiteral("long text 99"));
    cells.setText(0, 0, QStringLiteral("ok"));
    EXPECT_EQ(cells.pooledTexts(), 0u);

    cells.setText(1, 1, QStringLiteral("row one"));
    cells.setText(2, 2, QStringLiteral("column two"));
    cells.setText(0, 2, QStringLiteral("column two too"));
    ASSERT_TRUE(cells.removeRows(1, 1));
    EXPECT_EQ(cells.pooledTexts(), 2u);
    ASSERT_TRUE(cells.removeColumn(2));
    EXPECT_EQ(cells.pooledTexts(), 0u);
    ASSERT_TRUE(cells.resize(4, 4));
    cells.setText(3, 3, QStringLiteral("reused slot"));
    EXPECT_EQ(cells.text(3, 3), QStringLiteral("reused slot"));
    ASSERT_TRUE(cells.resize(1, 1));
    EXPECT_EQ(cells.pooledTexts(), 0u);
}

TEST(GridCells, OutOfRangeIsRefused) {
    CGridCells cells;
    EXPECT_FALSE(cells.setText(0, 0, QStringLiteral("x")));
    ASSERT_TRUE(cells.resize(2, 3));
    for (auto [r, c] : {std::pair{-1, 0}, {0, -1}, {2, 0}, {0, 3}}) {
        EXPECT_FALSE(cells.setText(r, c, QStringLiteral("x")));
        EXPECT_FALSE(cells.setBackground(r, c, qRgb(1, 2, 3)));
        EXPECT_FALSE(cells.setFormat(r, c, kGridCentred));
        EXPECT_TRUE(cells.text(r, c).isNull());
        EXPECT_FALSE(cells.background(r, c).has_value());
    }
    EXPECT_FALSE(cells.resize(-1, 2));
    EXPECT_FALSE(cells.insertRows(3, 1));
    EXPECT_FALSE(cells.removeRows(1, 2));
    EXPECT_FALSE(cells.insertColumn(4));
    EXPECT_FALSE(cells.removeColumn(3));
    EXPECT_EQ(cells.rowCount(), 2);
    EXPECT_EQ(cells.columnCount(), 3);
}

TEST(GridCells, ColumnInsertAndRemoveShiftCells) {
    CGridCells cells;
    ASSERT_TRUE(cells.resize(2, 3));
    for (int c = 0; c < 3; ++c) {
        cells.setText(1, c, QString::number(c));
        cells.setBackground(1, c, qRgb(c, 0, 0));
    }
    ASSERT_TRUE(cells.insertColumn(1));
    EXPECT_EQ(cells.columnCount(), 4);
    EXPECT_EQ(cells.text(1, 0), QStringLiteral("0"));
    EXPECT_EQ(cells.text(1, 1), QString());
    EXPECT_FALSE(cells.background(1, 1).has_value());
    EXPECT_EQ(cells.text(1, 2), QStringLiteral("1"));
    EXPECT_EQ(cells.background(1, 3), qRgb(2, 0, 0));
    ASSERT_TRUE(cells.removeColumn(0));
    EXPECT_EQ(cells.text(1, 1), QStringLiteral("1"));
    EXPECT_EQ(cells.text(1, 2), QStringLiteral("2"));
}

TEST(GridCells, FormatAndBackgroundAreIndependent) {
    CGridCells cells;
    ASSERT_TRUE(cells.resize(1, 2));
    EXPECT_EQ(cells.format(0, 0), cells.defaultFormat());
    cells.setBackground(0, 0, qRgb(182, 252, 182));
    cells.setFormat(0, 0, GridFormatFlag::Right | GridFormatFlag::Bottom);
    EXPECT_EQ(cells.background(0, 0), qRgb(182, 252, 182));
    EXPECT_EQ(cells.format(0, 0), GridFormatFlag::Right | GridFormatFlag::Bottom);
    cells.setBackground(0, 0, qRgb(255, 0, 0));
    EXPECT_EQ(cells.format(0, 0), GridFormatFlag::Right | GridFormatFlag::Bottom);
    cells.clearBackground(0, 0);
    EXPECT_FALSE(cells.background(0, 0).has_value());
    EXPECT_EQ(cells.format(0, 0), GridFormatFlag::Right | GridFormatFlag::Bottom);

    cells.setDefaultFormat(kGridCentred);
    ASSERT_TRUE(cells.resize(2, 3));
    EXPECT_EQ(cells.format(1, 2), kGridCentred);
    EXPECT_EQ(cells.format(0, 0), GridFormatFlag::Right | GridFormatFlag::Bottom);
}

TEST(GridCells, GrowingKeepsCellsAndStaysCompact) {
    CGridCells cells;
    ASSERT_TRUE(cells.resize(1, 51));
    cells.setText(0, 50, QStringLiteral("48"));
    for (int r = 0; r < 2000; ++r) {
        ASSERT_TRUE(cells.insertRows(cells.rowCount(), 1));
        for (int c = 1; c < 51; ++c) {
            cells.setText(cells.rowCount() - 1, c, QString::asprintf("%02X", (r + c) & 0xff));
            cells.setBackground(cells.rowCount() - 1, c, qRgb(255, 225, 255));
        }
    }
    EXPECT_EQ(cells.text(0, 50), QStringLiteral("48"));
    EXPECT_EQ(cells.text(2000, 50), QString::asprintf("%02X", (1999 + 50) & 0xff));
    // Eight bytes a cell plus the row handles; anything much above means the layout regressed.
    const double perCell = static_cast<double>(cells.memoryUsage()) / (2001.0 * 51);
    EXPECT_LT(perCell, 9.0);
    EXPECT_EQ(cells.pooledTexts(), 0u);
}

}  // namespace

#include "grid_ctrl.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <memory>

#include "grid_model.h"
#include "grid_view.h"

namespace {

const QColor kPaper(182, 252, 182);

// The layout the instantaneous value form sets up: 40 rows, 51 columns, one fixed row and column.
void setUpValueLayout(CGridCtrl& g) {
    g.setDefaultRowHeight(18);
    g.setDefaultFormat(kGridCentred);
    ASSERT_TRUE(g.setRowCount(40));
    ASSERT_TRUE(g.setColumnCount(51));
    ASSERT_TRUE(g.setFixedRowCount(1));
    ASSERT_TRUE(g.setFixedColumnCount(1));
    g.setEditable(false);
    g.setItemText(0, 0, QStringLiteral("A"));
    g.setItemText(0, 1, QStringLiteral("D"));
    g.setItemText(0, 2, QStringLiteral("S"));
    for (int c = 3; c < 51; ++c) g.setItemText(0, c, QString::asprintf("%2d", c - 2));
    for (int c = 0; c < 51; ++c) g.setColumnWidth(c, 20);
    g.setRowHeight(0, 20);
    for (int r = 1; r < 40; ++r) {
        g.setItemText(r, 0, QStringLiteral("A"));
        for (int c = 1; c < 51; ++c) {
            g.setItemText(r, c, QStringLiteral(" "));
            g.setItemBkColour(r, c, kPaper);
        }
    }
    g.setBkColour(QColor(212, 208, 200));
}

QImage grabViewport(CGridCtrl& g) {
    QApplication::processEvents();
    return g.view()->viewport()->grab().toImage();
}

QRect cellRect(CGridCtrl& g, int row, int col) {
    return g.view()->visualRect(g.model()->gridIndex(row, col));
}

// Qt's model tester watches the grid's model through every test: each
// structure change and each signal is checked against the item model
// contract, and every complaint of the tester fails the test.
class GridCtrl : public ::testing::Test {
protected:
    void SetUp() override {
        complaints().clear();
        previous_ = qInstallMessageHandler(&GridCtrl::record);
        tester_ = std::make_unique<QAbstractItemModelTester>(
            g.model(), QAbstractItemModelTester::FailureReportingMode::Warning);
    }
    void TearDown() override {
        tester_.reset();
        qInstallMessageHandler(previous_);
        EXPECT_TRUE(complaints().isEmpty()) << complaints().join('\n').toStdString();
    }

    CGridCtrl g;

private:
    static QStringList& complaints() {
        static QStringList list;
        return list;
    }
    static void record(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type != QtDebugMsg && qstrcmp(context.category, "qt.modeltest") == 0) complaints() << text;
    }

    QtMessageHandler previous_ = nullptr;
    std::unique_ptr<QAbstractItemModelTester> tester_;
};

TEST_F(GridCtrl, CountsAndFixedCellsAsHeaders) {
    setUpValueLayout(g);
    EXPECT_EQ(g.rowCount(), 40);
    EXPECT_EQ(g.columnCount(), 51);
    EXPECT_EQ(g.fixedRowCount(), 1);
    EXPECT_EQ(g.fixedColumnCount(), 1);
    EXPECT_EQ(g.model()->rowCount(), 39);
    EXPECT_EQ(g.model()->columnCount(), 50);
    // Grid column 3 is the first channel: the horizontal header's third section.
    EXPECT_EQ(g.model()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral(" 1"));
    EXPECT_EQ(g.model()->headerData(0, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("A"));
    EXPECT_EQ(g.model()->data(g.model()->index(0, 0), Qt::DisplayRole).toString(), QStringLiteral(" "));
    EXPECT_EQ(g.itemText(0, 50), QStringLiteral("48"));
    EXPECT_TRUE(g.view()->horizontalHeader()->isVisibleTo(g.view()));
    EXPECT_TRUE(g.view()->verticalHeader()->isVisibleTo(g.view()));
    EXPECT_EQ(g.view()->horizontalHeader()->sizeHint().height(), 20);
    EXPECT_EQ(g.view()->verticalHeader()->sizeHint().width(), 20);
    EXPECT_FALSE(g.setFixedRowCount(41));
    EXPECT_EQ(g.fixedRowCount(), 1);

    // A second fixed row stacks under the first in the same header.
    ASSERT_TRUE(g.setFixedRowCount(2));
    EXPECT_EQ(g.model()->rowCount(), 38);
    EXPECT_EQ(g.view()->horizontalHeader()->sizeHint().height(), 20 + 18);
    EXPECT_EQ(g.rowHeight(1), 18);
    ASSERT_TRUE(g.setFixedRowCount(1));

    ASSERT_TRUE(g.setFixedColumnCount(0));
    EXPECT_FALSE(g.view()->verticalHeader()->isVisibleTo(g.view()));
    EXPECT_EQ(g.model()->columnCount(), 51);
    EXPECT_EQ(g.model()->data(g.model()->index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("A"));
}

TEST_F(GridCtrl, OutOfRangeIsRefusedSafely) {
    setUpValueLayout(g);
    for (auto [r, c] : {std::pair{-1, 0}, {0, -1}, {40, 1}, {1, 51}, {100000, 100000}}) {
        EXPECT_FALSE(g.setItemText(r, c, QStringLiteral("x")));
        EXPECT_FALSE(g.setItemFormat(r, c, kGridCentred));
        EXPECT_FALSE(g.setItemBkColour(r, c, Qt::red));
        EXPECT_TRUE(g.itemText(r, c).isEmpty());
        EXPECT_FALSE(g.itemBkColour(r, c).isValid());
    }
    EXPECT_FALSE(g.ensureCellVisible(-1));
    EXPECT_FALSE(g.ensureCellVisible(40));
    EXPECT_FALSE(g.ensureCellVisible(1, -2));
    EXPECT_FALSE(g.ensureCellVisible(1, 51));
    EXPECT_FALSE(g.setRowHeight(40, 10));
    EXPECT_FALSE(g.setRowHeight(1, -3));
    EXPECT_FALSE(g.setColumnWidth(51, 10));
    EXPECT_EQ(g.rowHeight(40), -1);
    EXPECT_EQ(g.columnWidth(-1), -1);
    EXPECT_FALSE(g.deleteRow(40));
    EXPECT_FALSE(g.deleteColumn(-1));
    EXPECT_EQ(g.insertColumn(QStringLiteral("x"), 51), -1);
    EXPECT_EQ(g.insertColumn(QStringLiteral("x"), -2), -1);
    EXPECT_EQ(g.insertRow(QStringLiteral("x"), 41), -1);
    EXPECT_FALSE(g.setRowCount(-1));
    EXPECT_EQ(g.rowCount(), 40);
    EXPECT_EQ(g.columnCount(), 51);

    CGridCtrl empty;
    EXPECT_EQ(empty.appendRow(QStringLiteral("A")), -1);  // no column to hold the heading
    EXPECT_EQ(empty.insertColumn(QStringLiteral("01"), -1), -1);
    EXPECT_TRUE(empty.ensureCellVisible(-1) == false);
}

TEST_F(GridCtrl, AppendedRowsFollowThePreparedOnes) {
    setUpValueLayout(g);
    const int r = g.appendRow(QStringLiteral("A"));
    EXPECT_EQ(r, 40);
    EXPECT_EQ(g.rowCount(), 41);
    EXPECT_EQ(g.itemText(40, 0), QStringLiteral("A"));
    EXPECT_EQ(g.model()->headerData(39, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("A"));
    EXPECT_EQ(g.rowHeight(40), 18);
    EXPECT_TRUE(g.itemText(40, 7).isEmpty());
    EXPECT_EQ(g.itemFormat(40, 7), kGridCentred);
    ASSERT_TRUE(g.setItemText(40, 7, QStringLiteral("4D")));
    EXPECT_EQ(g.model()->data(g.model()->index(39, 6), Qt::DisplayRole).toString(), QStringLiteral("4D"));

    EXPECT_EQ(g.insertRow(QStringLiteral("B"), 2), 2);
    EXPECT_EQ(g.itemText(2, 0), QStringLiteral("B"));
    EXPECT_EQ(g.itemText(41, 7), QStringLiteral("4D"));
}

TEST_F(GridCtrl, InsertingAColumnInTheMiddleShiftsCells) {
    ASSERT_TRUE(g.setRowCount(3));
    ASSERT_TRUE(g.setColumnCount(4));
    ASSERT_TRUE(g.setFixedRowCount(1));
    ASSERT_TRUE(g.setFixedColumnCount(1));
    for (int c = 0; c < 4; ++c) {
        g.setItemText(0, c, QStringLiteral("h%1").arg(c));
        g.setItemText(2, c, QStringLiteral("v%1").arg(c));
        g.setItemBkColour(2, c, QColor(10 * c, 0, 0));
    }
    g.setColumnWidth(2, 33);
    EXPECT_EQ(g.insertColumn(QStringLiteral("new"), 1), 2);
    EXPECT_EQ(g.columnCount(), 5);
    EXPECT_EQ(g.itemText(0, 2), QStringLiteral("new"));
    EXPECT_TRUE(g.itemText(2, 2).isEmpty());
    EXPECT_FALSE(g.itemBkColour(2, 2).isValid());
    EXPECT_EQ(g.itemText(0, 3), QStringLiteral("h2"));
    EXPECT_EQ(g.itemText(2, 3), QStringLiteral("v2"));
    EXPECT_EQ(g.itemBkColour(2, 4), QColor(30, 0, 0));
    EXPECT_EQ(g.columnWidth(3), 33);  // the width moves with its column
    EXPECT_EQ(g.model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("new"));

    // Columns appended one by one, each headed by its own index, as the gray form does.
    EXPECT_EQ(g.insertColumn(QStringLiteral("05"), g.columnCount() - 1), 5);
    EXPECT_EQ(g.itemText(0, 5), QStringLiteral("05"));
    // Inserting before the fixed column makes the new column a fixed one.
    EXPECT_EQ(g.insertColumn(QStringLiteral("first"), -1), 0);
    EXPECT_EQ(g.fixedColumnCount(), 2);
    EXPECT_EQ(g.itemText(2, 1), QStringLiteral("v0"));
}

TEST_F(GridCtrl, DeletingDownToNothing) {
    g.show();
    ASSERT_TRUE(g.setRowCount(2));
    ASSERT_TRUE(g.setColumnCount(3));
    ASSERT_TRUE(g.setFixedRowCount(1));
    ASSERT_TRUE(g.setFixedColumnCount(1));
    g.setItemText(1, 2, QStringLiteral("last"));
    ASSERT_TRUE(g.ensureCellVisible(1, 2));
    ASSERT_TRUE(g.deleteRow(1));
    EXPECT_EQ(g.rowCount(), 1);
    EXPECT_EQ(g.model()->rowCount(), 0);
    EXPECT_TRUE(g.ensureCellVisible(0, 2));
    QApplication::processEvents();
    ASSERT_TRUE(g.deleteRow(0));  // the fixed row itself
    EXPECT_EQ(g.rowCount(), 0);
    EXPECT_EQ(g.fixedRowCount(), 0);
    EXPECT_FALSE(g.deleteRow(0));
    EXPECT_EQ(g.appendRow(QStringLiteral("again")), 0);
    EXPECT_EQ(g.itemText(0, 0), QStringLiteral("again"));

    ASSERT_TRUE(g.deleteColumn(2));
    ASSERT_TRUE(g.deleteColumn(1));
    ASSERT_TRUE(g.deleteColumn(0));
    EXPECT_EQ(g.columnCount(), 0);
    EXPECT_EQ(g.fixedColumnCount(), 0);
    EXPECT_TRUE(g.itemText(0, 0).isEmpty());
    QApplication::processEvents();

    // Shrinking below the fixed part shrinks the fixed part with it.
    ASSERT_TRUE(g.setColumnCount(4));
    ASSERT_TRUE(g.setRowCount(5));
    ASSERT_TRUE(g.setFixedRowCount(3));
    ASSERT_TRUE(g.setRowCount(2));
    EXPECT_EQ(g.fixedRowCount(), 2);
    EXPECT_EQ(g.model()->rowCount(), 0);
}

TEST_F(GridCtrl, RowHeightsAndColumnWidths) {
    g.setDefaultRowHeight(18);
    ASSERT_TRUE(g.setRowCount(49));
    ASSERT_TRUE(g.setColumnCount(74));
    ASSERT_TRUE(g.setFixedRowCount(1));
    ASSERT_TRUE(g.setFixedColumnCount(1));
    ASSERT_TRUE(g.setRowHeight(0, 20));
    ASSERT_TRUE(g.setColumnWidth(0, 24));
    ASSERT_TRUE(g.setRowHeight(5, 30));
    ASSERT_TRUE(g.setColumnWidth(7, 20));
    EXPECT_EQ(g.rowHeight(0), 20);
    EXPECT_EQ(g.columnWidth(0), 24);
    EXPECT_EQ(g.rowHeight(5), 30);
    EXPECT_EQ(g.rowHeight(6), 18);
    EXPECT_EQ(g.columnWidth(7), 20);
    EXPECT_EQ(g.view()->verticalHeader()->sectionSize(4), 30);
    EXPECT_EQ(g.view()->horizontalHeader()->sectionSize(6), 20);
    g.resize(600, 400);
    g.show();
    QApplication::processEvents();
    EXPECT_EQ(g.view()->horizontalHeader()->height(), 20);
    EXPECT_EQ(g.view()->verticalHeader()->width(), 24);
    EXPECT_EQ(cellRect(g, 5, 7).height() + 1, 30);  // the grid line takes the last pixel
    EXPECT_EQ(cellRect(g, 5, 7).width() + 1, 20);
    ASSERT_TRUE(g.deleteRow(2));
    EXPECT_EQ(g.rowHeight(4), 30);  // heights move with their rows
}

TEST_F(GridCtrl, ScrollingBringsTheRowIntoView) {
    g.resize(500, 300);
    setUpValueLayout(g);
    g.show();
    QApplication::processEvents();
    const QRect viewport = g.view()->viewport()->rect();
    int last = -1;
    for (int i = 0; i < 300; ++i) {
        last = g.appendRow(QStringLiteral("A"));
        g.setItemText(last, 1, QString::asprintf("%02X", i & 0xff));
        ASSERT_TRUE(g.ensureCellVisible(last));
        g.refresh();
        if (i % 50 == 0) QApplication::processEvents();
    }
    QApplication::processEvents();
    EXPECT_TRUE(viewport.contains(cellRect(g, last, 1))) << g.view()->verticalScrollBar()->value();
    EXPECT_FALSE(viewport.intersects(cellRect(g, 1, 1)));
    EXPECT_EQ(g.view()->rowAt(viewport.bottom() - 1) + g.fixedRowCount(), last);

    // Far right, then a fixed column keeps the horizontal position.
    ASSERT_TRUE(g.ensureCellVisible(last, 50));
    QApplication::processEvents();
    EXPECT_TRUE(viewport.contains(cellRect(g, last, 50)));
    const int x = g.view()->horizontalScrollBar()->value();
    EXPECT_GT(x, 0);
    ASSERT_TRUE(g.ensureCellVisible(1));
    ASSERT_TRUE(g.ensureCellVisible(1, 0));
    QApplication::processEvents();
    EXPECT_EQ(g.view()->horizontalScrollBar()->value(), x);
    EXPECT_TRUE(viewport.intersects(cellRect(g, 1, 50)));
    EXPECT_EQ(g.view()->verticalScrollBar()->value(), 0);

    // The viewport really shows the appended row: its cell's colour is on screen.
    g.setItemBkColour(last, 50, QColor(255, 0, 0));
    ASSERT_TRUE(g.ensureCellVisible(last, 50));
    const QImage shot = grabViewport(g);
    const QRect r = cellRect(g, last, 50);
    EXPECT_EQ(QColor(shot.pixel(r.left() + 1, r.top() + 1)), QColor(255, 0, 0));
}

TEST_F(GridCtrl, PaintsBackgroundsTextsAndFixedCells) {
    g.resize(400, 300);
    setUpValueLayout(g);
    ASSERT_TRUE(g.setItemBkColour(3, 4, QColor(255, 207, 255)));
    ASSERT_TRUE(g.setItemText(3, 5, QStringLiteral("4D")));
    ASSERT_TRUE(g.setItemBkColour(0, 0, QColor(0, 0, 255)));
    g.show();
    QImage shot = grabViewport(g);
    const QRect pink = cellRect(g, 3, 4);
    EXPECT_EQ(QColor(shot.pixel(pink.center())), QColor(255, 207, 255));
    EXPECT_EQ(QColor(shot.pixel(cellRect(g, 3, 6).center())), kPaper);
    // The text cell has dark glyph pixels; a blank one has none.
    auto darkPixels = [&](const QRect& r) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) n += qGray(shot.pixel(x, y)) < 100;
        return n;
    };
    EXPECT_GT(darkPixels(cellRect(g, 3, 5)), 5);
    EXPECT_EQ(darkPixels(cellRect(g, 3, 6)), 0);
    // Below the last row the grid's own background shows.
    ASSERT_TRUE(g.setRowCount(4));
    shot = grabViewport(g);
    ASSERT_LT(cellRect(g, 3, 1).bottom(), shot.height() - 3);
    EXPECT_EQ(QColor(shot.pixel(10, shot.height() - 2)), QColor(212, 208, 200));

    // The corner where the fixed row and column meet shows cell (0, 0).
    QAbstractButton* corner = g.view()->findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_NE(corner, nullptr);
    const QImage c = corner->grab().toImage();
    EXPECT_EQ(QColor(c.pixel(3, 3)), QColor(0, 0, 255));
    // A changed heading is repainted in the header.
    const QImage before = g.view()->horizontalHeader()->viewport()->grab().toImage();
    ASSERT_TRUE(g.setItemText(0, 2, QStringLiteral("W")));
    QApplication::processEvents();
    EXPECT_NE(g.view()->horizontalHeader()->viewport()->grab().toImage(), before);
}

TEST_F(GridCtrl, EditingCanBeSwitchedOff) {
    ASSERT_TRUE(g.setRowCount(3));
    ASSERT_TRUE(g.setColumnCount(3));
    ASSERT_TRUE(g.setFixedRowCount(1));
    const QModelIndex i = g.model()->gridIndex(1, 1);
    EXPECT_TRUE(g.model()->flags(i) & Qt::ItemIsEditable);
    EXPECT_TRUE(g.model()->setData(i, QStringLiteral("typed"), Qt::EditRole));
    EXPECT_EQ(g.itemText(1, 1), QStringLiteral("typed"));
    g.setEditable(false);
    EXPECT_FALSE(g.isEditable());
    EXPECT_FALSE(g.model()->flags(i) & Qt::ItemIsEditable);
    EXPECT_FALSE(g.model()->setData(i, QStringLiteral("again"), Qt::EditRole));
    EXPECT_EQ(g.itemText(1, 1), QStringLiteral("typed"));
    EXPECT_EQ(g.view()->editTriggers(), QAbstractItemView::NoEditTriggers);
}

}  // namespace

// Appends rows to the grid the way the instantaneous value test does (51 coloured "%02X"
// cells per row, scrolled into view after each row) and compares speed and memory with a
// QTableWidget doing the same. Each contender runs in its own process so that one's freed
// memory cannot hide the other's.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QProcess>
#include <QTableWidget>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

#include "grid_ctrl.h"

namespace {

constexpr int kColumns = 51;

long vmRssKiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (QByteArray line = f.readLine(); !line.isEmpty(); line = f.readLine())
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

QRgb cellColour(int row, int col) {
    const int f = (row * 7 + col) % 4;
    return f == 3 ? qRgb(255, 0, 0) : qRgb(255, 225 - 18 * f, 255);
}

double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

void report(const char* name, int rows, qint64 ms, double cpu, long rssBefore, long rssAfter,
            double rate_last) {
    std::printf("%-13s rows %7d  CPU time %8.2f s  rows per CPU second %8.0f\n", name, rows, cpu,
                rows / std::max(cpu, 1e-3));
    const double cells = static_cast<double>(rows) * kColumns;
    const double perCell = (rssAfter - rssBefore) * 1024.0 / cells;
    std::printf(
        "%-13s rows %7d  time %8.2f s  rows/s %8.0f (last block %8.0f)  VmRSS %7ld KiB  "
        "delta %7ld KiB  bytes/cell %7.1f\n",
        name, rows, ms / 1000.0, rows * 1000.0 / std::max<qint64>(ms, 1), rate_last, rssAfter,
        rssAfter - rssBefore, perCell);
    std::fflush(stdout);
}

int runGrid(int rows) {
    auto grid = std::make_unique<CGridCtrl>();
    grid->resize(1100, 700);
    grid->show();
    QApplication::processEvents();
    const long before = vmRssKiB();
    grid->setDefaultRowHeight(18);
    grid->setDefaultFormat(kGridCentred);
    grid->setRowCount(1);
    grid->setColumnCount(kColumns);
    grid->setFixedRowCount(1);
    grid->setFixedColumnCount(1);
    grid->setEditable(false);
    for (int c = 0; c < kColumns; ++c) grid->setColumnWidth(c, 20);
    const double cpu0 = cpuSeconds();
    QElapsedTimer t, block;
    t.start();
    block.start();
    double lastRate = 0;
    char text[8];
    for (int i = 0; i < rows; ++i) {
        const int r = grid->appendRow(QStringLiteral("A"));
        for (int c = 1; c < kColumns; ++c) {
            std::snprintf(text, sizeof text, "%02X", (i + c) & 0xff);
            grid->setItemText(r, c, QString::fromLatin1(text));
            grid->setItemBkColour(r, c, QColor::fromRgb(cellColour(i, c)));
        }
        grid->ensureCellVisible(r);
        grid->refresh();
        if (i % 25 == 24) QApplication::processEvents();
        if (i % 25000 == 24999) {
            lastRate = 25000 * 1000.0 / std::max<qint64>(block.restart(), 1);
            std::printf("  grid: %6d rows, %8.0f rows/s in the last 25000, store %zu KiB\n", i + 1, lastRate,
                        grid->cellMemory() / 1024);
            std::fflush(stdout);
        }
    }
    QApplication::processEvents();
    const qint64 ms = t.elapsed();
    report("CGridCtrl", rows, ms, cpuSeconds() - cpu0, before, vmRssKiB(), lastRate);
    std::printf("  grid cell store: %zu bytes = %.2f bytes/cell\n", grid->cellMemory(),
                grid->cellMemory() / (static_cast<double>(grid->rowCount()) * kColumns));
    return 0;
}

int runTable(int rows) {
    auto table = std::make_unique<QTableWidget>();
    table->resize(1100, 700);
    table->show();
    QApplication::processEvents();
    const long before = vmRssKiB();
    table->setColumnCount(kColumns - 1);
    table->verticalHeader()->setDefaultSectionSize(18);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int c = 0; c < kColumns - 1; ++c) {
        table->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::asprintf("%2d", c + 1)));
        table->setColumnWidth(c, 20);
    }
    const double cpu0 = cpuSeconds();
    QElapsedTimer t, block;
    t.start();
    block.start();
    double lastRate = 0;
    char text[8];
    for (int i = 0; i < rows; ++i) {
        const int r = table->rowCount();
        table->insertRow(r);
        table->setVerticalHeaderItem(r, new QTableWidgetItem(QStringLiteral("A")));
        QTableWidgetItem* last = nullptr;
        for (int c = 0; c < kColumns - 1; ++c) {
            std::snprintf(text, sizeof text, "%02X", (i + c + 1) & 0xff);
            last = new QTableWidgetItem(QString::fromLatin1(text));
            last->setTextAlignment(Qt::AlignCenter);
            last->setBackground(QColor::fromRgb(cellColour(i, c + 1)));
            table->setItem(r, c, last);
        }
        table->scrollToItem(last);
        table->viewport()->update();
        if (i % 25 == 24) QApplication::processEvents();
        if (i % 5000 == 4999) {
            lastRate = 5000 * 1000.0 / std::max<qint64>(block.restart(), 1);
            std::printf("  table: %6d rows, %8.0f rows/s in the last 5000\n", i + 1, lastRate);
            std::fflush(stdout);
        }
    }
    QApplication::processEvents();
    report("QTableWidget", rows, t.elapsed(), cpuSeconds() - cpu0, before, vmRssKiB(), lastRate);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc >= 3 && std::strcmp(argv[1], "--run") == 0) {
        QApplication app(argc, argv);
        const int rows = argc >= 4 ? std::atoi(argv[3]) : 0;
        if (std::strcmp(argv[2], "grid") == 0) return runGrid(rows > 0 ? rows : 150000);
        if (std::strcmp(argv[2], "table") == 0) return runTable(rows > 0 ? rows : 20000);
        return 2;
    }
    QCoreApplication app(argc, argv);
    std::printf("grid-bench: append rows of %d cells, scroll to each, events every 25 rows\n", kColumns);
    std::fflush(stdout);
    int rc = 0;
    double perCell[2] = {0, 0};
    int i = 0;
    for (const char* which : {"grid", "table"}) {
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--run"), QString::fromLatin1(which)});
        // Pass the child's figures on as they come, keeping its bytes per cell for the ratio.
        while (p.state() != QProcess::NotRunning) {
            p.waitForReadyRead(1000);
            while (p.canReadLine()) {
                const QByteArray line = p.readLine();
                std::fputs(line.constData(), stdout);
                std::fflush(stdout);
                const int at = line.indexOf("bytes/cell");
                if (at >= 0 && line.mid(at + 10).trimmed().toDouble() > 0)
                    perCell[i] = line.mid(at + 10).trimmed().toDouble();
            }
        }
        const QByteArray rest = p.readAll();
        std::fputs(rest.constData(), stdout);
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) rc = 1;
        ++i;
    }
    if (perCell[0] > 0 && perCell[1] > 0)
        std::printf("memory per cell: QTableWidget / CGridCtrl = %.1f\n", perCell[1] / perCell[0]);
    return rc;
}

// value-bench: the value test's sampler and table driven as fast as the
// virtual reader answers (no pause between samples), for 150,000 rows by
// default: rows per second, resident memory per row, and the longest stall
// of the GUI event loop while the rows arrive. Beside it, the same "I 4/"
// exchanges without form or table (the raw baseline).
//
//     value-bench [ROWS]
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

#include "child_frame.h"
#include "form_value.h"
#include "grid_ctrl.h"
#include "main_frame.h"
#include "pendra_app.h"
#include "vaz.h"
#include "vazsim/transports.h"
#include "vazsim/virtual_reader.h"

namespace {

long residentKiB() {
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// The longest gap between two turns of the GUI event loop.
class StallMeter : public QObject {
public:
    StallMeter() {
        connect(&timer_, &QTimer::timeout, this, [this] {
            const qint64 now = clock_.nsecsElapsed();
            if (last_ >= 0) {
                longest_ = std::max(longest_, now - last_);
                gaps_.push_back(now - last_);
            }
            last_ = now;
        });
        clock_.start();
        timer_.start(0);
    }
    double longestMs() const { return double(longest_) / 1e6; }
    // The gap that `share` of all gaps do not exceed.
    double percentileMs(double share) {
        if (gaps_.empty()) return 0;
        const size_t k = std::min(gaps_.size() - 1, size_t(share * double(gaps_.size())));
        std::nth_element(gaps_.begin(), gaps_.begin() + std::ptrdiff_t(k), gaps_.end());
        return double(gaps_[k]) / 1e6;
    }
    size_t gapsOver(double ms) const {
        return size_t(std::count_if(gaps_.begin(), gaps_.end(), [ms](qint64 g) { return g > ms * 1e6; }));
    }
    size_t turns() const { return gaps_.size(); }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = -1;
    qint64 longest_ = 0;
    std::vector<qint64> gaps_;
};

long long threadCpuNs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

// Times every event the GUI thread handles, so that a stall can be named,
// in wall time and in the CPU time the GUI thread spent on it (on a loaded
// machine the two differ by the time the thread waited for a core).
class TimedApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* e) override {
        if (depth_++ > 0) {
            const bool r = QApplication::notify(receiver, e);
            --depth_;
            return r;
        }
        QElapsedTimer t;
        t.start();
        const long long cpu0 = threadCpuNs();
        const int type = e->type();  // e may be gone afterwards
        const bool r = QApplication::notify(receiver, e);
        --depth_;
        const qint64 ns = t.nsecsElapsed();
        const long long cpu = threadCpuNs() - cpu0;
        if (measuring && ns > longestNs) {
            longestNs = ns;
            longestType = type;
        }
        if (measuring && cpu > longestCpuNs) longestCpuNs = cpu;
        return r;
    }
    bool measuring = false;
    qint64 longestNs = 0;
    long long longestCpuNs = 0;
    int longestType = 0;

private:
    int depth_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir tmp;
    setenv("XDG_CONFIG_HOME", tmp.filePath("config").toLocal8Bit().constData(), 1);
    TimedApplication qapp(argc, argv);
    const int rows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 150000;

    vazsim::VirtualReader reader;
    reader.setNoise(1);
    auto hid = std::make_unique<vazsim::HidSocketTransport>(reader, tmp.filePath("hid.sock").toStdString());
    setenv("VAZ_HID_DEVICES", hid->path().c_str(), 1);
    setenv("VAZ_SERIAL_PORTS", "", 1);

    CPendraApp app;
    if (!app.InitInstance() || !app.connected) {
        std::fprintf(stderr, "value-bench: no connection to the virtual reader\n");
        return 1;
    }

    // Raw baseline: the exchanges alone.
    const int rawRows = std::min(rows, 20000);
    std::vector<int> values(VAZ_REPLY_SIZE);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rawRows; ++i) {
        if (app.device.send("I 4/") < 1 || app.device.getValue('A', values.data()) < 1) {
            std::fprintf(stderr, "value-bench: raw exchange %d failed\n", i);
            return 1;
        }
    }
    const double rawPerSecond = rawRows / (double(t.nsecsElapsed()) / 1e9);

    CChildFrame* frame = app.mainFrame()->ShowForm(CFormValue::kFormId);
    auto* form = frame ? qobject_cast<CFormValue*>(frame->widget()) : nullptr;
    if (!form) {
        std::fprintf(stderr, "value-bench: the value test did not open\n");
        return 1;
    }
    QApplication::processEvents();
    form->setSampleInterval(0);
    CGridCtrl* grid = form->grid();
    const int startRows = grid->rowCount();
    const long rssBefore = residentKiB();
    StallMeter stalls;
    qapp.measuring = true;
    t.restart();
    form->OnGetValue();
    while (grid->rowCount() - startRows < rows && form->sampling())
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    const double longestStall = stalls.longestMs();
    qapp.measuring = false;
    form->OnGetValue();  // stop
    while (form->sampling()) QApplication::processEvents(QEventLoop::AllEvents, 5);
    const int appended = grid->rowCount() - startRows;
    const long rssAfter = residentKiB();

    std::printf("value-bench: %d rows of %d values through the value test\n", appended, CFormValue::kColumns - 1);
    std::printf("  raw I 4/ exchanges     %10.0f per second (%d exchanges)\n", rawPerSecond, rawRows);
    std::printf("  value test rows        %10.0f per second (%.2f s)\n", appended / seconds, seconds);
    std::printf("  resident memory        %10.1f bytes per row (%ld KiB more)\n",
                appended ? (rssAfter - rssBefore) * 1024.0 / appended : 0.0, rssAfter - rssBefore);
    std::printf("  table cell store       %10.1f bytes per row\n",
                appended ? double(grid->cellMemory()) / grid->rowCount() : 0.0);
    std::printf("  longest GUI stall      %10.2f ms (target 16 ms)\n", longestStall);
    std::printf("  GUI turns over 16 ms   %10zu of %zu (99.9th percentile %.2f ms)\n", stalls.gapsOver(16),
                stalls.turns(), stalls.percentileMs(0.999));
    std::printf("  longest single event   %10.2f ms (event type %d)\n", qapp.longestNs / 1e6, qapp.longestType);
    std::printf("  longest event CPU time %10.2f ms of the GUI thread\n", qapp.longestCpuNs / 1e6);
    app.device.init(-1);
    app.ExitInstance();
    return appended >= rows ? 0 : 1;
}

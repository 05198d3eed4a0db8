// project-list-bench: the project list (form 7) opening on eva.dat with
// 10,000 projects of 200 error positions each, time to its first paint,
// next to the raw read of the same bytes and the load alone. Offscreen
// unless a platform is set. Prints the median of several rounds.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "../tests/test_records.h"
#include "eva_file.h"
#include "form_evaluation.h"

namespace {

constexpr int kProjects = 10000;
constexpr int kPositions = 200;
constexpr int kRounds = 7;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Stops its loop at the first paint of the watched list's viewport.
class PaintSeen : public QObject {
public:
    bool seen = false;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) seen = true;
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    QTemporaryDir dir;
    FileLocations locations;
    locations.programFolder = locations.workingFolder = dir.path();
    const std::vector<ProjectRecord> records = testrecords::many(kProjects, kPositions);
    if (!evafile::save(locations.evaDat(), records)) {
        std::printf("project-list-bench: cannot write %s\n", qPrintable(locations.evaDat()));
        return 1;
    }

    std::vector<double> raw, load, firstPaint;
    bool whole = true;
    for (int i = 0; i < kRounds; ++i) {
        QElapsedTimer t;
        t.start();
        QFile f(locations.evaDat());
        const QByteArray bytes = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        raw.push_back(t.nsecsElapsed() / 1e6);

        t.restart();
        const evafile::Loaded loaded = evafile::read(locations.evaDat());
        load.push_back(t.nsecsElapsed() / 1e6);
        whole = whole && loaded.records.size() == records.size();

        t.restart();
        {
            CFormEvaluation form;
            form.setLocations(locations);
            PaintSeen seen;
            form.list()->viewport()->installEventFilter(&seen);
            form.resize(1200, 800);
            form.show();
            while (!seen.seen) QApplication::processEvents(QEventLoop::AllEvents, 5);
            firstPaint.push_back(t.nsecsElapsed() / 1e6);
            whole = whole && form.projects()->rowCount() == kProjects;
        }
        QApplication::processEvents();
    }
    std::printf("project-list-bench: %d projects x %d error positions, eva.dat %.1f MB, median of %d rounds\n",
                kProjects, kPositions, double(QFile(locations.evaDat()).size()) / 1e6, kRounds);
    const double rawMs = median(raw);
    std::printf("  %-40s %8.2f ms\n", "raw read of the same bytes", rawMs);
    std::printf("  %-40s %8.2f ms   %6.2fx raw\n", "evafile::read", median(load), median(load) / rawMs);
    std::printf("  %-40s %8.2f ms   %6.2fx raw\n", "project list shown, to its first paint", median(firstPaint),
                median(firstPaint) / rawMs);
    if (!whole) {
        std::printf("(the list did not open whole)\n");
        return 1;
    }
    return 0;
}

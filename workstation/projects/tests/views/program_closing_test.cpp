// The program closing while the project dialog's loop runs: the loop ends
// before the windows go. Once the program's event loop has been told to
// quit, no later modal loop of this process runs, so this suite is linked
// last (kestrin-projects-views-tests' SOURCES).
#include <QApplication>
#include <QTimer>

#include "main_frame.h"
#include "views_fixture.h"

using ProgramClosing = ProjectWindows;

TEST_F(ProgramClosing, WaitsForTheProjectDialogsLoop) {
    // As the program runs: its event loop, the dialog modal inside it, and
    // the program told to quit while the loop polls the empty hopper.
    CEvaDlg dlg(app->mainFrame());
    dlg.setLocations(locations);
    feed({"ABXD"});
    bool runningAtQuit = true;
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [&] {
        // Connected after the dialog's own handler: the loop has ended by now.
        runningAtQuit = dlg.running();
    });
    QTimer::singleShot(0, &dlg, [&] {
        auto* poll = new QTimer(&dlg);
        QObject::connect(poll, &QTimer::timeout, [&, poll] {
            if (!dlg.isVisible()) return;
            if (!dlg.running()) {
                chooseCardType(dlg, QStringLiteral("T4"));
                click(dlg, "1004");
            } else if (feedCommands() >= 2) {
                poll->stop();
                QCoreApplication::quit();
            }
        });
        poll->start(10);
        dlg.DoModal();
    });
    QApplication::exec();
    EXPECT_FALSE(runningAtQuit);
    EXPECT_FALSE(dlg.running());
    const int fed = feedCommands();
    pump(300);
    EXPECT_EQ(feedCommands(), fed);
}

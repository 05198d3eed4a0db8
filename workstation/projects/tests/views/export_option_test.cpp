// kestrin --export-projects FILE.csv, run as the program with no display.
#include <QFile>
#include <QProcess>

#include "eva_file.h"
#include "views_fixture.h"

using ExportOption = ProjectWindows;

namespace {

int runExport(const QString& workingFolder, const QStringList& args, QString* out = nullptr) {
    QProcess p;
    p.setWorkingDirectory(workingFolder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    p.setProcessEnvironment(env);
    p.start(KESTRIN_PROGRAM, args);
    if (!p.waitForFinished(30000)) return -1;
    if (out) *out = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitCode();
}

}  // namespace

TEST_F(ExportOption, WritesOneRowPerProjectWithEveryPositionWithoutADisplay) {
    ProjectRecord a;
    a.machineType = "R6KTM";
    a.cardType = QStringLiteral("标准答题卡");
    a.productNumber = "P,1";
    a.mainboardNumber = "M1";
    a.powerNumber = "W1";
    a.photoHeadNumber = "H1";
    a.totalErrors = 6;
    a.totalCards = 12;
    a.stopCount = 1;
    a.errorCounts[0] = 1;
    a.errorCounts[2] = 5;
    ProjectRecord b;
    b.productNumber = "P2";
    ASSERT_TRUE(evafile::save(locations.evaDat(), {a, b}));
    QString out;
    ASSERT_EQ(runExport(dir.path(), {"--export-projects", "out.csv"}, &out), 0) << out.toStdString();
    QFile f(dir.filePath("out.csv"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList rows = QString::fromUtf8(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(rows[0].endsWith(QStringLiteral("位置0,位置1,位置2")));
    EXPECT_EQ(rows[1], QStringLiteral("R6KTM,标准答题卡,\"P,1\",M1,W1,H1,6,12,1,0-1;2-5;,1,0,5"));
    EXPECT_EQ(rows[2], QStringLiteral(",,P2,,,,0,0,0,,0,0,0"));
}

TEST_F(ExportOption, DamagedFileExportsNothingAndIsLeftAsItIs) {
    QFile f(locations.evaDat());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\x05\x00\x00\x00", 4));  // five records claimed, none there
    f.close();
    QString out;
    EXPECT_EQ(runExport(dir.path(), {"--export-projects", "out.csv"}, &out), 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("out.csv")));
    EXPECT_TRUE(QFile::exists(locations.evaDat()));
    EXPECT_FALSE(out.isEmpty());
}

TEST_F(ExportOption, HelpNamesTheOption) {
    QString out;
    QProcess p;
    p.start(KESTRIN_PROGRAM, {"--help"});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_TRUE(QString::fromLocal8Bit(p.readAllStandardOutput()).contains("--export-projects"));
}

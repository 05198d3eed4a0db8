// CSV export of the projects: the columns, quoting, and the export of
// eva.dat that changes nothing.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "eva_file.h"
#include "project_csv.h"
#include "test_records.h"

namespace {

QStringList lines(const QByteArray& csv) {
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    QString text = QString::fromUtf8(csv.mid(3));
    EXPECT_TRUE(text.endsWith("\r\n"));
    text.chop(2);
    return text.split(QStringLiteral("\r\n"));
}

TEST(ProjectCsv, OneRowPerProjectWithEveryPositionColumn) {
    ProjectRecord a = testrecords::record(u"R6KTM", u"标准答题卡", 1);
    a.errorCounts.clear();
    a.errorCounts[0] = 1;
    a.errorCounts[2] = 5;
    ProjectRecord b = testrecords::record(u"R6KTS", u"信息卡", 2);
    b.errorCounts.clear();
    const QStringList rows = lines(projectcsv::encode({a, b}));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0],
              QStringLiteral("机器型号,信息卡型号,产品编号,主板编号,电源编号,光电头编号,错误数,总读卡数,"
                             "报错停机数,错误位置,位置0,位置1,位置2"));
    EXPECT_EQ(rows[1], QStringLiteral("R6KTM,标准答题卡,P000001,MB-7,PW13,光电头1,3,101,1,0-1;2-5;,1,0,5"));
    EXPECT_EQ(rows[2], QStringLiteral("R6KTS,信息卡,P000002,MB-14,PW26,光电头2,6,102,2,,0,0,0"));
}

TEST(ProjectCsv, TextsAreQuotedAndNeverTakenForFormulas) {
    ProjectRecord r;
    r.machineType = QStringLiteral("A,B");
    r.cardType = QStringLiteral("say \"hi\"");
    r.productNumber = QStringLiteral("=1+2");
    r.mainboardNumber = QStringLiteral("two\nlines");
    const QStringList rows = lines(projectcsv::encode({r}));
    ASSERT_EQ(rows.size(), 2);  // the line break stays inside its quoted field
    EXPECT_EQ(rows[1], QStringLiteral("\"A,B\",\"say \"\"hi\"\"\",'=1+2,\"two\nlines\",,,0,0,0,"));
}

TEST(ProjectCsv, ExportReadsEvaDatAndChangesNothing) {
    QTemporaryDir dir;
    const QString eva = dir.filePath("eva.dat"), csv = dir.filePath("out/projects.csv");
    ASSERT_TRUE(QDir(dir.path()).mkdir("out"));
    ASSERT_TRUE(evafile::save(eva, testrecords::many(3, 4)));
    QString message;
    ASSERT_TRUE(projectcsv::exportProjects(eva, csv, &message)) << message.toStdString();
    EXPECT_TRUE(message.contains(csv));
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(lines(f.readAll()).size(), 4);

    QByteArray damaged = evafile::encode(testrecords::many(2, 4));
    damaged.chop(2);
    QFile d(eva);
    ASSERT_TRUE(d.open(QIODevice::WriteOnly));
    d.write(damaged);
    d.close();
    EXPECT_FALSE(projectcsv::exportProjects(eva, dir.filePath("out/second.csv"), &message));
    EXPECT_TRUE(message.contains(QStringLiteral("已损坏")));
    EXPECT_FALSE(QFile::exists(dir.filePath("out/second.csv")));
    ASSERT_TRUE(d.open(QIODevice::ReadOnly));
    EXPECT_EQ(d.readAll(), damaged);  // neither moved nor rewritten

    EXPECT_FALSE(projectcsv::exportProjects(dir.filePath("none.dat"), csv, &message));
    EXPECT_TRUE(message.contains("none.dat"));
}

}  // namespace

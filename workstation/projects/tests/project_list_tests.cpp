// The project list model: rows as the list shows them, new and updated
// projects, deleting rows, and saving through eva.dat.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QFile>
#include <QTemporaryDir>

#include "eva_file.h"
#include "project_list.h"
#include "test_records.h"

namespace {

class ProjectListTest : public ::testing::Test {
protected:
    QString path() const { return dir_.filePath("eva.dat"); }
    void loadWith(const std::vector<ProjectRecord>& records) {
        ASSERT_TRUE(evafile::save(path(), records));
        ASSERT_TRUE(list_.load(path()).isEmpty());
    }
    QStringList column(int c) const {
        QStringList texts;
        for (int r = 0; r < list_.rowCount(); ++r) texts << list_.data(list_.index(r, c)).toString();
        return texts;
    }
    QTemporaryDir dir_;
    ProjectList list_;
    QAbstractItemModelTester tester_{&list_, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

TEST_F(ProjectListTest, RowsShowTheElevenColumns) {
    ProjectRecord r = testrecords::record(u"R6KTM", u"标准答题卡", 1);
    r.errorCounts.clear();
    r.errorCounts[4] = 3;
    r.errorCounts[17] = 1;
    loadWith({r});
    ASSERT_EQ(list_.columnCount(), 11);
    QStringList headers, row;
    for (int c = 0; c < 11; ++c) {
        headers << list_.headerData(c, Qt::Horizontal).toString();
        row << list_.data(list_.index(0, c)).toString();
    }
    EXPECT_EQ(headers.join(u','),
              QStringLiteral("产品编号,机器型号,信息卡型号,状态,主板编号,电源编号,光电头编号,"
                             "总读卡数,报错停机数,错误数,错误位置"));
    EXPECT_EQ(row, QStringList({r.productNumber, "R6KTM", QStringLiteral("标准答题卡"),
                                QStringLiteral("待检"), r.mainboardNumber, r.powerNumber, r.photoHeadNumber,
                                "101", "1", "3", "4-3;17-1;"}));
    EXPECT_EQ(list_.data(list_.index(0, 0), Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
              int(Qt::AlignHCenter));
    EXPECT_EQ(list_.data(list_.index(0, 10), Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
              int(Qt::AlignLeft));
}

TEST_F(ProjectListTest, NewProjectBecomesTheLastRowAndIsSaved) {
    loadWith(testrecords::many(2, 3));
    ProjectRecord fresh = list_.record(-1);
    EXPECT_EQ(fresh, ProjectRecord{});
    fresh.productNumber = "NEW";
    fresh.cardsThisRun = 5;
    EXPECT_EQ(list_.setRecord(-1, fresh), 2);
    EXPECT_EQ(list_.setRecord(99, fresh), 3);
    ASSERT_TRUE(list_.save());
    ProjectList reread;
    EXPECT_TRUE(reread.load(path()).isEmpty());
    ASSERT_EQ(reread.rowCount(), 4);
    EXPECT_EQ(reread.record(2).productNumber, "NEW");
    EXPECT_EQ(reread.record(2).cardsThisRun, 0);
}

TEST_F(ProjectListTest, UpdatedProjectStaysInItsRow) {
    loadWith(testrecords::many(3, 3));
    ProjectRecord r = list_.record(1);
    r.totalCards = 999;
    EXPECT_EQ(list_.setRecord(1, r), 1);
    EXPECT_EQ(column(ProjectList::TotalCards), QStringList({"100", "999", "102"}));
}

TEST_F(ProjectListTest, DeletingRowsOneAndThreeOfFiveKeepsTheOthersInOrder) {
    const std::vector<ProjectRecord> five = testrecords::many(5, 4);
    loadWith(five);
    list_.deleteRows({3, 1, 3, 7});
    ASSERT_TRUE(list_.save());
    const evafile::Loaded l = evafile::read(path());
    ASSERT_EQ(l.records.size(), 3u);
    EXPECT_EQ(l.records[0], five[0].stored());
    EXPECT_EQ(l.records[1], five[2].stored());
    EXPECT_EQ(l.records[2], five[4].stored());
    list_.deleteRows({});
    EXPECT_EQ(list_.rowCount(), 3);
}

TEST_F(ProjectListTest, DamagedFileIsReportedAndTheRecoveredListMaySave) {
    QByteArray bytes = evafile::encode(testrecords::many(2, 5));
    bytes.chop(1);
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    const QString message = list_.load(path());
    EXPECT_TRUE(message.contains(QStringLiteral("已损坏"))) << message.toStdString();
    EXPECT_EQ(list_.rowCount(), 1);
    EXPECT_TRUE(list_.save());
}

TEST_F(ProjectListTest, SaveIsRefusedWhileAnUnreadableFileSitsThere) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("eva.dat"));
    EXPECT_FALSE(list_.load(path()).isEmpty());
    list_.setRecord(-1, testrecords::record(u"M", u"C", 1));
    QString message;
    EXPECT_FALSE(list_.save(&message));
    EXPECT_FALSE(message.isEmpty());
    EXPECT_EQ(list_.rowCount(), 1);  // the row stays in the list
}

TEST_F(ProjectListTest, FailedSaveKeepsTheRowsAndSaysWhy) {
    list_.load(dir_.filePath("no/such/folder/eva.dat"));
    list_.setRecord(-1, testrecords::record(u"M", u"C", 1));
    QString message;
    EXPECT_FALSE(list_.save(&message));
    EXPECT_TRUE(message.contains(QStringLiteral("no/such/folder"))) << message.toStdString();
    EXPECT_EQ(list_.rowCount(), 1);
}

}  // namespace

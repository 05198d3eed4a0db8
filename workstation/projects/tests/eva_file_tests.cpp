// The project record and eva.dat: the byte layout, what a round trip keeps,
// damaged files (truncated, over-claiming, impossible lengths) reported and
// kept (a killed writer's saves: crash_safe_tests.cpp).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include "eva_file.h"
#include "test_records.h"

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void putFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Little-endian int32 and counted UTF-16LE string, written out by hand.
QByteArray i32(std::int32_t v) {
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}
QByteArray str(QStringView s) {
    QByteArray b = i32(std::int32_t(s.size()));
    for (QChar c : s) b += char(c.unicode() & 0xFF), b += char(c.unicode() >> 8);
    return b;
}

TEST(ErrorCounts, GrowInPowersOfTwoAndTrackTheHighestPosition) {
    ErrorCounts c;
    EXPECT_EQ(c.capacity(), 16);
    EXPECT_EQ(c.highest(), -1);
    EXPECT_EQ(c.at(500), 0);  // reading does not grow
    EXPECT_EQ(c.capacity(), 16);
    c[15] = 2;
    EXPECT_EQ(c.capacity(), 16);
    c[16] = 1;
    EXPECT_EQ(c.capacity(), 32);
    c[100] += 3;
    EXPECT_EQ(c.capacity(), 128);
    EXPECT_EQ(c.highest(), 100);
    EXPECT_EQ(c.at(15) + c.at(16) + c.at(100), 6);
    c[-5] = 7;  // a negative position counts as 0
    EXPECT_EQ(c.at(0), 7);
    c.clear();
    EXPECT_EQ(c.highest(), -1);
    EXPECT_EQ(c.at(100), 0);
}

TEST(EvaFile, BytesAreLaidOutAsTheFormatSays) {
    ProjectRecord r = testrecords::record(u"M1", u"卡", 2);
    r.cardsThisRun = 9;
    r.speed = 3;
    r.errorPositions = QStringLiteral("2; \r\n");
    r.errorCounts.clear();
    r.errorCounts[0] = 1;
    r.errorCounts[2] = 5;
    const QByteArray expected = i32(1) + str(u"M1") + str(u"卡") + str(r.productNumber) +
                                str(r.mainboardNumber) + str(r.powerNumber) + str(r.photoHeadNumber) +
                                i32(r.totalErrors) + i32(r.totalCards) + i32(0) + i32(r.stopCount) + i32(0) +
                                str(u"") + i32(3) + i32(1) + i32(0) + i32(5);
    EXPECT_EQ(evafile::encode({r}), expected);
    EXPECT_EQ(errorPositionsColumn(r.errorCounts), "0-1;2-5;");
}

TEST(EvaFile, ProjectWithoutErrorsIsStoredWithNoPositions) {
    ProjectRecord r = testrecords::record(u"M", u"C", 1);
    r.errorCounts.clear();
    r.errorCounts[40] = 0;  // positions in use but never wrong are not stored
    const QByteArray bytes = evafile::encode({r});
    EXPECT_EQ(bytes.right(8), i32(0) + i32(0));  // empty positions text, K = 0
    EXPECT_EQ(errorPositionsColumn(r.errorCounts), "");
}

TEST(EvaFile, RoundTripKeepsTheStoredFieldsOnly) {
    std::vector<ProjectRecord> records = testrecords::many(5, 40);
    records[1].cardsThisRun = 4;
    records[1].speed = 2;
    records[1].errorPositions = QStringLiteral("7; \r\n");
    const evafile::Decoded d = evafile::decode(evafile::encode(records));
    ASSERT_TRUE(d.damage.isEmpty()) << d.damage.toStdString();
    ASSERT_EQ(d.records.size(), records.size());
    for (size_t i = 0; i < records.size(); ++i) EXPECT_EQ(d.records[i], records[i].stored()) << i;
    EXPECT_EQ(d.records[1].cardsThisRun, 0);
    EXPECT_EQ(d.records[1].speed, 0);
    EXPECT_TRUE(d.records[1].errorPositions.isEmpty());
    EXPECT_EQ(d.records[3].errorCounts, records[3].errorCounts);
}

TEST(EvaFile, EveryTruncationIsReportedWithTheRecordsBeforeIt) {
    const std::vector<ProjectRecord> records = testrecords::many(3, 5);
    const QByteArray whole = evafile::encode(records);
    std::vector<qsizetype> ends;  // where each record ends
    qsizetype at = 4;
    for (const ProjectRecord& r : records) ends.push_back(at += evafile::encode({r}).size() - 4);
    for (qsizetype size = 1; size < whole.size(); ++size) {
        const evafile::Decoded d = evafile::decode(QByteArrayView(whole).first(size));
        ASSERT_FALSE(d.damage.isEmpty()) << size;
        const auto intact =
            std::count_if(ends.begin(), ends.end(), [size](qsizetype e) { return e <= size; });
        ASSERT_EQ(qsizetype(d.records.size()), intact) << size;
    }
}

TEST(EvaFile, ImpossibleCountsAndLengthsAreDamageNotAllocations) {
    const QByteArray one = evafile::encode(testrecords::many(1, 3));
    QByteArray claim = one;
    qToLittleEndian<std::int32_t>(INT32_MAX, claim.data());  // far more records than the file holds
    evafile::Decoded d = evafile::decode(claim);
    EXPECT_EQ(d.records.size(), 1u);
    EXPECT_TRUE(d.damage.contains(QString::number(INT32_MAX))) << d.damage.toStdString();

    for (std::int32_t length : {INT32_MAX, -1}) {
        QByteArray bad = i32(1) + i32(length) + QByteArray(100, 'x');
        d = evafile::decode(bad);
        EXPECT_TRUE(d.records.empty());
        EXPECT_TRUE(d.damage.contains(QString::fromUtf8("机器型号"))) << d.damage.toStdString();
    }
    d = evafile::decode(i32(-2));
    EXPECT_FALSE(d.damage.isEmpty());
    d = evafile::decode(one + "junk");
    EXPECT_EQ(d.records.size(), 1u);
    EXPECT_TRUE(d.damage.contains("4")) << d.damage.toStdString();  // the bytes left over
    EXPECT_TRUE(evafile::decode(QByteArray()).damage.isEmpty());
    EXPECT_TRUE(evafile::decode(i32(0)).damage.isEmpty());
}

class EvaFileOnDisk : public ::testing::Test {
protected:
    QString path() const { return dir_.filePath("eva.dat"); }
    QStringList files() const { return QDir(dir_.path()).entryList(QDir::Files); }
    QTemporaryDir dir_;
};

TEST_F(EvaFileOnDisk, MissingOrEmptyFileIsAnEmptyListAndNothingIsCreated) {
    evafile::Loaded l = evafile::load(path());
    EXPECT_EQ(l.status, evafile::Loaded::Status::Read);
    EXPECT_TRUE(l.records.empty());
    EXPECT_TRUE(files().isEmpty());
    putFile(path(), {});
    l = evafile::load(path());
    EXPECT_EQ(l.status, evafile::Loaded::Status::Read);
    EXPECT_TRUE(l.message.isEmpty());
}

TEST_F(EvaFileOnDisk, OverClaimingFileIsMovedAsideUntouchedAndNamedInTheMessage) {
    QByteArray bytes = evafile::encode(testrecords::many(3, 10));
    qToLittleEndian<std::int32_t>(5, bytes.data());
    putFile(path(), bytes);

    const evafile::Loaded l = evafile::load(path());
    EXPECT_EQ(l.status, evafile::Loaded::Status::Damaged);
    EXPECT_EQ(l.records.size(), 3u);
    EXPECT_TRUE(l.mayOverwrite);
    ASSERT_FALSE(l.keptAs.isEmpty());
    EXPECT_TRUE(QFileInfo(l.keptAs).fileName().startsWith("eva.dat.damaged-"));
    EXPECT_TRUE(l.message.contains(l.keptAs)) << l.message.toStdString();
    EXPECT_EQ(fileBytes(l.keptAs), bytes);
    EXPECT_FALSE(QFile::exists(path()));

    // The next save writes a new file beside the kept one.
    ASSERT_TRUE(evafile::save(path(), l.records));
    EXPECT_EQ(fileBytes(l.keptAs), bytes);
    EXPECT_EQ(evafile::load(path()).records.size(), 3u);
}

TEST_F(EvaFileOnDisk, TruncatedFileIsKeptAndASecondOneGetsItsOwnName) {
    const QByteArray whole = evafile::encode(testrecords::many(2, 8));
    putFile(path(), whole.first(whole.size() - 3));
    const evafile::Loaded first = evafile::load(path());
    putFile(path(), whole.first(10));
    const evafile::Loaded second = evafile::load(path());
    EXPECT_EQ(first.records.size(), 1u);
    EXPECT_TRUE(second.records.empty());
    EXPECT_NE(first.keptAs, second.keptAs);
    EXPECT_EQ(fileBytes(first.keptAs), whole.first(whole.size() - 3));
    EXPECT_EQ(fileBytes(second.keptAs), whole.first(10));
}

TEST_F(EvaFileOnDisk, ReadingAloneChangesNothing) {
    putFile(path(), "\x01\x00");
    const evafile::Loaded l = evafile::read(path());
    EXPECT_EQ(l.status, evafile::Loaded::Status::Damaged);
    EXPECT_FALSE(l.mayOverwrite);
    EXPECT_EQ(files(), QStringList{"eva.dat"});
}

TEST_F(EvaFileOnDisk, UnreadableFileMustNotBeOverwritten) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("eva.dat"));  // exists, cannot be read as a file
    const evafile::Loaded l = evafile::load(path());
    EXPECT_EQ(l.status, evafile::Loaded::Status::Unreadable);
    EXPECT_FALSE(l.mayOverwrite);
    EXPECT_FALSE(l.message.isEmpty());
}

}  // namespace

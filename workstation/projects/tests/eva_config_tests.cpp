// The config.ini model: models, card types, format files and answer keys,
// the messages for a file that does not fit, and recording a key.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "eva_config.h"
#include "ini_file.h"

namespace {

class EvaConfigTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDir(dir_.path()).mkpath("bin"));
        ASSERT_TRUE(QDir(dir_.path()).mkpath("share/formats"));
        loc_.programFolder = dir_.filePath("bin");
        loc_.configHome = dir_.filePath("home");
        loc_.shippedFolder = dir_.filePath("share");
        put("share/formats/a.fmt", "\"L 0 073 048/\"\n");
        put("CMakeCache.txt", "");  // a build tree: its config.ini lives beside the program
    }
    void put(const QString& relative, const QByteArray& bytes) {
        QFile f(dir_.filePath(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray bytes(const QString& relative) {
        QFile f(dir_.filePath(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool mentions(const EvaConfig& c, const QString& part) {
        for (const QString& p : c.problems())
            if (p.contains(part)) return true;
        return false;
    }
    QTemporaryDir dir_;
    FileLocations loc_;
};

const QByteArray kShipped =
    "; shipped\n"
    "[main]\n"
    "machineType = R6KTM; R6KTS ;\n"
    "cardType = A4;B\n"
    "[A4]\n"
    "name=A4\n"
    "path=formats\\a.fmt\n"
    "answer=ABCD\n"
    "[B]\n"
    "name=B\n"
    "path=formats/a.fmt\n"
    "answer=XY\n";

TEST_F(EvaConfigTest, ShippedFileGivesModelsCardTypesFormatsAndKeys) {
    put("share/config.ini", kShipped);
    const EvaConfig c = EvaConfig::load(loc_);
    EXPECT_TRUE(c.problems().isEmpty()) << c.problems().join('\n').toStdString();
    EXPECT_EQ(c.source(), dir_.filePath("share/config.ini"));
    EXPECT_EQ(c.machineTypes(), QStringList({"R6KTM", "R6KTS"}));
    EXPECT_EQ(c.cardTypeNames(), QStringList({"A4", "B"}));
    EXPECT_EQ(c.answerKey("A4"), "ABCD");
    EXPECT_EQ(c.answerKey("a4"), "");  // names in the dialog match exactly
    EXPECT_EQ(c.formatFile("A4").path, dir_.filePath("share/formats/a.fmt"));
    EXPECT_EQ(c.formatFile("B").path, dir_.filePath("share/formats/a.fmt"));
}

TEST_F(EvaConfigTest, TheLastCardTypeOfANameGivesTheKey) {
    put("bin/config.ini",
        "[main]\ncardType=one;two\n[one]\nname=X\nanswer=AAAA\n[two]\nname=X\nanswer=BBBB\n");
    EXPECT_EQ(EvaConfig::load(loc_).answerKey("X"), "BBBB");
}

TEST_F(EvaConfigTest, MissingFileOrNoSectionsIsSaidAndGivesEmptyLists) {
    EvaConfig c = EvaConfig::load(loc_);
    EXPECT_TRUE(c.machineTypes().isEmpty());
    EXPECT_TRUE(mentions(c, loc_.configIni())) << c.problems().join('\n').toStdString();

    put("bin/config.ini", "machineType=R6KTM\ncardType=A4\n");
    c = EvaConfig::load(loc_);
    EXPECT_TRUE(c.cardTypes().empty());
    EXPECT_TRUE(mentions(c, QStringLiteral("没有任何节"))) << c.problems().join('\n').toStdString();

    put("bin/config.ini", "[other]\nmachineType=R6KTM\n");
    c = EvaConfig::load(loc_);
    EXPECT_TRUE(mentions(c, QStringLiteral("[main]")));
}

TEST_F(EvaConfigTest, CardTypesThatCannotBeUsedAreNamed) {
    put("bin/config.ini",
        "[main]\ncardType=NoPath;Gone;Lost;Nameless;Long\n"
        "[NoPath]\nname=NoPath\n"
        "[Lost]\nname=Lost\npath=formats\\missing.fmt\n"
        "[Nameless]\npath=formats\\a.fmt\n"
        "[Long]\nname=Long\npath=formats\\a.fmt\nanswer=" +
            QByteArray(6000, 'A') + "\n");
    const EvaConfig c = EvaConfig::load(loc_);
    EXPECT_EQ(c.cardTypes().size(), 5u);  // every entry stays in the list
    EXPECT_TRUE(mentions(c, QStringLiteral("“NoPath”没有格式文件")));
    EXPECT_TRUE(mentions(c, QStringLiteral("[Gone]")));
    EXPECT_TRUE(mentions(c, QStringLiteral("missing.fmt")));
    EXPECT_TRUE(mentions(c, QStringLiteral("[Nameless] 节没有 name")));
    EXPECT_TRUE(mentions(c, QStringLiteral("6000")));
    EXPECT_FALSE(c.formatFile("NoPath").problem.isEmpty());
    EXPECT_TRUE(c.formatFile("NoPath").path.isEmpty());
    EXPECT_FALSE(c.formatFile("Unknown").problem.isEmpty());
}

TEST_F(EvaConfigTest, RecordedKeyGoesToTheUsersCopyWithEverythingElse) {
    put("share/config.ini", kShipped);
    EvaConfig c = EvaConfig::load(loc_);
    ASSERT_TRUE(c.recordAnswerKey("A4", "DCBA"));
    EXPECT_EQ(c.answerKey("A4"), "DCBA");
    QByteArray expected = kShipped;
    expected.replace("answer=ABCD", "answer=DCBA");
    EXPECT_EQ(bytes("bin/config.ini"), expected);
    EXPECT_EQ(bytes("share/config.ini"), kShipped);
    // The format files are still found among the shipped data.
    EXPECT_EQ(EvaConfig::load(loc_).formatFile("A4").path, dir_.filePath("share/formats/a.fmt"));
    EXPECT_EQ(EvaConfig::load(loc_).answerKey("A4"), "DCBA");
}

TEST_F(EvaConfigTest, KeyIsRecordedInTheSectionTheCardTypeCameFrom) {
    put("bin/config.ini", "[main]\ncardType=sheet1\n[sheet1]\nname=Sheet\nanswer=AAAA\n");
    EvaConfig c = EvaConfig::load(loc_);
    ASSERT_TRUE(c.recordAnswerKey("Sheet", "BBBB"));
    EXPECT_EQ(EvaConfig::load(loc_).answerKey("Sheet"), "BBBB");
    EXPECT_EQ(bytes("bin/config.ini"), "[main]\ncardType=sheet1\n[sheet1]\nname=Sheet\nanswer=BBBB\n");
}

TEST_F(EvaConfigTest, KeyThatTheFileCannotHoldIsRefusedWithAMessage) {
    put("bin/config.ini", "[main]\ncardType=A\n[A]\nname=A\nanswer=\xB4\xF0\n");  // code page 936
    EvaConfig c = EvaConfig::load(loc_);
    QString problem;
    EXPECT_FALSE(c.recordAnswerKey("A", QString::fromUtf8("\xF0\x9F\x98\x80"), &problem));
    EXPECT_FALSE(problem.isEmpty());
    EXPECT_EQ(c.answerKey("A"), QStringLiteral("答"));
    EXPECT_FALSE(c.recordAnswerKey("Nobody", "AB", &problem));
    EXPECT_TRUE(problem.contains("Nobody"));
}

TEST(SampleConfig, ShipsTwoModelsAndTwoUsableCardTypes) {
    FileLocations loc;
    loc.programFolder = QStringLiteral(KESTRIN_SAMPLE_DIR);
    const EvaConfig c = EvaConfig::load(loc);
    EXPECT_TRUE(c.problems().isEmpty()) << c.problems().join('\n').toStdString();
    EXPECT_EQ(c.machineTypes().size(), 2);
    ASSERT_EQ(c.cardTypes().size(), 2u);
    for (const CardType& t : c.cardTypes()) {
        EXPECT_TRUE(QFile::exists(c.formatFile(t.name).path)) << t.name.toStdString();
        EXPECT_FALSE(t.answer.isEmpty());
    }
}

}  // namespace

// CIni: the lookup rules of a private-profile file, writes that keep the
// file's own layout and encoding, and the cases where a write must refuse.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ini_file.h"

namespace {

class IniTest : public ::testing::Test {
protected:
    QString file(const QString& name = QStringLiteral("test.ini")) const { return dir_.filePath(name); }
    void put(const QByteArray& bytes, const QString& name = QStringLiteral("test.ini")) const {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray bytes(const QString& name = QStringLiteral("test.ini")) const {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList folder() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }
    QTemporaryDir dir_;
};

// GBK bytes of 答题卡 and 机器.
const QByteArray kGbkCard("\xB4\xF0\xCC\xE2\xBF\xA8");
const QByteArray kGbkMachine("\xBB\xFA\xC6\xF7");

TEST_F(IniTest, NamesCompareWithoutCaseAndTheFirstMatchWins) {
    put("[Main]\n"
        "MachineType = A;B\n"
        "machinetype = second key\n"
        "[main]\n"
        "cardType = only in the second section\n"
        "[other]\n"
        "gray=3\n");
    CIni ini(file());
    EXPECT_EQ(ini.readString("MAIN", "machineTYPE"), "A;B");
    EXPECT_EQ(ini.readString("main", "cardType"), "");  // the first [main] is the one searched
    EXPECT_EQ(ini.readInt("OTHER", "GRAY", 10), 3);
    EXPECT_EQ(ini.sectionNames(), QStringList({"Main", "main", "other"}));
}

TEST_F(IniTest, ValuesAreTrimmedQuotesDroppedAndCommentsSkipped) {
    put("; a comment = not a key\n"
        "[s]\n"
        "  ; key=commented out\n"
        "# key=commented out too\n"
        "  key  =\t  spaced value \t\r\n"
        "quoted = \"  kept blanks  \"\n"
        "single = 'x'\n"
        "half = \"x\n"
        "list = a ; b ;; c;\n"
        "empty =\n"
        "[ blanks ]\n"
        "k=v\n");
    CIni ini(file());
    EXPECT_EQ(ini.readString("s", "key"), "spaced value");
    EXPECT_EQ(ini.readString("s", "quoted"), "  kept blanks  ");
    EXPECT_EQ(ini.readString("s", "single"), "x");
    EXPECT_EQ(ini.readString("s", "half"), "\"x");
    EXPECT_EQ(ini.readString("s", "list"), "a ; b ;; c;");  // ";" is no comment after a value
    EXPECT_EQ(ini.readList("s", "list"), QStringList({"a", "b", "c"}));
    EXPECT_EQ(ini.readString("s", "empty"), "");
    EXPECT_EQ(ini.readString("s", "; key"), "");
    EXPECT_EQ(ini.readString("blanks", "k"), "v");
    EXPECT_EQ(ini.readString(" blanks\t", " k "), "v");
    EXPECT_EQ(ini.readString("", "key"), "");
    EXPECT_EQ(ini.readString("s", ""), "");
    EXPECT_EQ(ini.readString("missing", "key"), "");
}

TEST_F(IniTest, IntegersReadAsSignAndLeadingDigits) {
    put("[n]\nneg=-3\nmixed=12abc\nplus=+7\nword=abc\nhuge=99999999999\nlow=-99999999999\nblank=  \n");
    CIni ini(file());
    EXPECT_EQ(ini.readInt("n", "neg", 5), -3);
    EXPECT_EQ(ini.readInt("n", "mixed", 5), 12);
    EXPECT_EQ(ini.readInt("n", "plus", 5), 7);
    EXPECT_EQ(ini.readInt("n", "word", 5), 0);
    EXPECT_EQ(ini.readInt("n", "huge", 5), INT_MAX);
    EXPECT_EQ(ini.readInt("n", "low", 5), INT_MIN);
    EXPECT_EQ(ini.readInt("n", "blank", 5), 5);
    EXPECT_EQ(ini.readInt("n", "missing", 5), 5);
    EXPECT_EQ(CIni(file("absent.ini")).readInt("n", "neg", 10), 10);
}

TEST_F(IniTest, WriteChangesOneLineAndKeepsEveryOtherByte) {
    const QByteArray before =
        "; settings of the workstation\r\n"
        "[makesign]\r\n"
        "Gray = 10   \r\n"
        "; the marker\r\n"
        "sync=0\r\n"
        "\r\n"
        "[setparma]\r\n"
        "MotoRange=1\r\n"
        "trailing line without break";
    put(before);
    CIni ini(file());
    ASSERT_TRUE(ini.writeInt("MAKESIGN", "gray", 7)) << ini.lastError().toStdString();
    QByteArray expected = before;
    expected.replace("Gray = 10   \r\n", "Gray = 7\r\n");
    EXPECT_EQ(bytes(), expected);

    // A new key goes after the section's last key, a new section to the end,
    // with the file's own line breaks.
    ASSERT_TRUE(ini.writeInt("makesign", "extra", -4));
    ASSERT_TRUE(ini.writeString("new", "k", "v"));
    expected.replace("sync=0\r\n", "sync=0\r\nextra=-4\r\n");
    expected += "\r\n\r\n[new]\r\nk=v\r\n";
    EXPECT_EQ(bytes(), expected);
    EXPECT_EQ(ini.readInt("makesign", "extra", 0), -4);
    EXPECT_EQ(folder(), QStringList({"test.ini"}));  // no temporary file left behind
}

TEST_F(IniTest, WriteCreatesTheFileAndItsFolder) {
    CIni ini(dir_.filePath("sub/folder/init.ini"));
    ASSERT_TRUE(ini.writeInt("setparma", "ForeTime", -9));
    ASSERT_TRUE(ini.writeInt("setparma", "BehindTime", 9));
    EXPECT_EQ(bytes("sub/folder/init.ini"), "[setparma]\nForeTime=-9\nBehindTime=9\n");
    ASSERT_TRUE(ini.writeInt("setparma", "foretime", 3));
    EXPECT_EQ(bytes("sub/folder/init.ini"), "[setparma]\nForeTime=3\nBehindTime=9\n");
}

TEST_F(IniTest, ValuesThatWouldNotReadBackAreQuoted) {
    CIni ini(file());
    for (const QString& value : {QStringLiteral("  AB CD "), QStringLiteral("\"q\""), QStringLiteral("'q'"),
                                 QStringLiteral("a;b;c"), QStringLiteral("")}) {
        ASSERT_TRUE(ini.writeString("s", "v", value));
        EXPECT_EQ(ini.readString("s", "v"), value);
    }
}

TEST_F(IniTest, WritesThatWouldBreakTheFileAreRefused) {
    const QByteArray before = "[s]\nk=v\n";
    put(before);
    CIni ini(file());
    EXPECT_FALSE(ini.writeString("s", "k", "one\n[main]\nmachineType=x"));
    EXPECT_FALSE(ini.writeString("s", "k", QString("a") + QChar(0) + "b"));
    EXPECT_FALSE(ini.writeString("s", "a=b", "v"));
    EXPECT_FALSE(ini.writeString("s", ";k", "v"));
    EXPECT_FALSE(ini.writeString("s]", "k", "v"));
    EXPECT_FALSE(ini.writeString("  ", "k", "v"));
    EXPECT_FALSE(ini.writeInt("s", "", 1));
    EXPECT_FALSE(ini.lastError().isEmpty());
    EXPECT_EQ(bytes(), before);
}

TEST_F(IniTest, FileMadeOnWindowsInCodePage936ReadsAndStaysInIt) {
    const QByteArray before = "[main]\r\ncardType=" + kGbkCard + ";B\r\n[" + kGbkCard +
                              "]\r\nname=" + kGbkCard + "\r\nanswer=ABCD\r\n";
    put(before);
    CIni ini(file());
    const QString card = QStringLiteral("答题卡");
    EXPECT_EQ(ini.readList("Main", "cardType"), QStringList({card, "B"}));
    EXPECT_EQ(ini.readString(card, "NAME"), card);

    ASSERT_TRUE(ini.writeString(card, "answer", QStringLiteral("机器")));
    QByteArray expected = before;
    expected.replace("answer=ABCD", "answer=" + kGbkMachine);
    EXPECT_EQ(bytes(), expected);

    // A character code page 936 has no code for would be lost: refused.
    EXPECT_FALSE(ini.writeString(card, "answer", QString::fromUtf8("\xF0\x9F\x98\x80")));
    EXPECT_EQ(bytes(), expected);
}

TEST_F(IniTest, Utf8FilesKeepTheirByteOrderMark) {
    put("\xEF\xBB\xBF[main]\nmachineType=\xE6\x9C\xBA\xE5\x99\xA8\n");
    CIni ini(file());
    EXPECT_EQ(ini.readString("main", "machineType"), QStringLiteral("机器"));
    ASSERT_TRUE(ini.writeString("main", "cardType", QStringLiteral("答题卡")));
    EXPECT_EQ(bytes(),
              "\xEF\xBB\xBF[main]\nmachineType=\xE6\x9C\xBA\xE5\x99\xA8\ncardType=\xE7\xAD\x94\xE9\xA2\x98"
              "\xE5\x8D\xA1\n");
}

TEST_F(IniTest, BytesOfNeitherEncodingAreReadButNeverRewritten) {
    const QByteArray before = "[s]\nk=v\nodd=\xFF\xFE\xFF\n";  // no BOM: 0xFF is no lead byte in either
    put(before);
    CIni ini(file());
    EXPECT_EQ(ini.readString("s", "k"), "v");
    EXPECT_FALSE(ini.writeString("s", "k", "w"));
    EXPECT_EQ(bytes(), before);
}

TEST_F(IniTest, AnExistingFileThatCannotBeReadIsNotOverwritten) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("test.ini"));  // exists, cannot be read as a file
    CIni ini(file());
    EXPECT_EQ(ini.readInt("s", "k", 4), 4);
    EXPECT_FALSE(ini.writeInt("s", "k", 1));
    EXPECT_TRUE(QFileInfo(file()).isDir());
}

TEST_F(IniTest, FallbackIsReadUntilTheFirstWriteCopiesIt) {
    const QByteArray shipped = "; shipped with the kit\n[main]\nmachineType=A;B\n[card]\nanswer=ABCD\n";
    put(shipped, "shipped.ini");
    CIni ini(file("user.ini"), file("shipped.ini"));
    EXPECT_EQ(ini.readString("main", "machineType"), "A;B");
    EXPECT_EQ(ini.sourcePath(), file("shipped.ini"));

    ASSERT_TRUE(ini.writeString("card", "answer", "DCBA"));
    QByteArray expected = shipped;
    expected.replace("answer=ABCD", "answer=DCBA");
    EXPECT_EQ(bytes("user.ini"), expected);
    EXPECT_EQ(bytes("shipped.ini"), shipped);
    EXPECT_EQ(ini.sourcePath(), file("user.ini"));
}

TEST_F(IniTest, RewriteKeepsThePermissionsOfTheFile) {
    put("[s]\nk=v\n");
    ASSERT_EQ(::chmod(QFile::encodeName(file()).constData(), 0640), 0);
    CIni ini(file());
    ASSERT_TRUE(ini.writeInt("s", "k", 2));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(file()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

}  // namespace

// What the settings dialogs do to an init.ini that is already there: a file
// made on Windows in code page 936 with comments and its own order of keys,
// and the replacement of the whole file by a rename; and that the menu
// commands open these dialogs.
#include <unistd.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>

#include "dlg_adjust.h"
#include "main_frame.h"
#include "motor_set_dlg.h"
#include "settings_test_support.h"

namespace {

// "; 阅读机的电机设置" and "; 校准" in code page 936, keys in the case and
// order a technician wrote them, CRLF line breaks.
const QByteArray kWindowsFile =
    "\x3B\x20\xD4\xC4\xB6\xC1\xBB\xFA\xB5\xC4\xB5\xE7\xBB\xFA\xC9\xE8\xD6\xC3"
    "\r\n[SetParma]\r\nforetime = -4\r\nMotoRange=2\r\nBehindTime=0\r\n\r\n"
    "\x3B\x20\xD0\xA3\xD7\xBC"
    "\r\n[MAKESIGN]\r\nGray=11\r\n";

// What happens to the file does not depend on the link.
class ExistingInitIni : public SettingsTest {
protected:
    void SetUp() override { startWith(ReaderRig::Via::Hid); }
};

TEST_F(ExistingInitIni, CodePage936FileKeepsItsCommentsOrderAndEncoding) {
    put(kWindowsFile);
    {
        CMotorSetDlg dlg(nullptr, initIni());
        EXPECT_EQ(dlg.findChild<QComboBox*>("1011")->currentText(), "2");
        EXPECT_EQ(dlg.findChild<QComboBox*>("1012")->currentText(), "-4");
        const std::pair<const char*, const char*> choices[] = {{"1011", "5"}, {"1012", "3"}, {"1015", "-3"}};
        for (const auto& [id, text] : choices) {
            QComboBox* list = dlg.findChild<QComboBox*>(id);
            list->setCurrentIndex(list->findText(text));
        }
        dlg.findChild<QPushButton*>("1")->click();
        ASSERT_EQ(lastMessage(), QStringLiteral("操作成功"));
    }
    {
        CDlgAdjust dlg(nullptr, initIni());
        EXPECT_EQ(dlg.findChild<QComboBox*>("1011")->currentText(), "11");
        dlg.findChild<QPushButton*>("1050")->click();
        ASSERT_EQ(lastMessage(), QStringLiteral("标定成功"));
    }
    QByteArray expected = kWindowsFile;
    expected.replace("foretime = -4", "foretime = 3");
    expected.replace("MotoRange=2", "MotoRange=5");
    expected.replace("BehindTime=0", "BehindTime=-3");
    expected.replace("Gray=11\r\n", "Gray=11\r\nsync=73\r\n");
    EXPECT_EQ(stored(), expected);
}

// A rename, never a rewrite in place: a second name of the old file still
// holds the old bytes whole, and nothing but init.ini is left in the folder.
TEST_F(ExistingInitIni, IsReplacedWholeByARename) {
    const QByteArray before = "[setparma]\nMotoRange=4\nForeTime=0\nBehindTime=0\n";
    put(before);
    const QString oldName = dir_.filePath("old-init.ini");
    ASSERT_EQ(::link(QFile::encodeName(initIni()).constData(), QFile::encodeName(oldName).constData()), 0);
    CMotorSetDlg dlg(nullptr, initIni());
    dlg.findChild<QComboBox*>("1011")->setCurrentIndex(6);
    dlg.findChild<QPushButton*>("1")->click();
    ASSERT_EQ(lastMessage(), QStringLiteral("操作成功"));
    EXPECT_EQ(stored(), "[setparma]\nMotoRange=7\nForeTime=0\nBehindTime=0\n");
    QFile old(oldName);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), before);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"init.ini", "old-init.ini"}));
}

using SettingsCommands = SettingsOffline;

TEST_F(SettingsCommands, MenuCommandsOpenTheSettingsDialogs) {
    app->mainFrame()->OnCommand(32811);
    app->mainFrame()->OnCommand(32786);
    ASSERT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(boxes.records[0].objectName, "329");
    EXPECT_EQ(boxes.records[0].title, QStringLiteral("校准设置"));
    EXPECT_EQ(boxes.records[1].objectName, "328");
    EXPECT_EQ(boxes.records[1].title, QStringLiteral("电机参数设置"));
}

}  // namespace

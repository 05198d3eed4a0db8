// The print-head settings: "X 2/" into the edits, the edits into "X 0 .../",
// "X 1/", and the refusals.
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "commands.h"
#include "config_print_dlg.h"
#include "main_frame.h"
#include "shell_test_support.h"

namespace {

using PrintHead = ShellTest;

QString field(const CDlgConfigPrint& dlg, const char* id) {
    return dlg.findChild<QLineEdit*>(id)->text();
}

bool sent(const vazsim::VirtualReader& reader, const std::string& command) {
    const auto c = reader.commands();
    return std::find(c.begin(), c.end(), command) != c.end();
}

TEST_F(PrintHead, OpeningSplitsTheReplyIntoTheEditsAndTheBox) {
    ReaderRig rig(ReaderRig::Via::Hid);  // the reader answers "X 2/" with "NO 00001 SC 0"
    ASSERT_TRUE(start());
    CDlgConfigPrint dlg;
    EXPECT_EQ(field(dlg, "1075"), "NO");
    EXPECT_EQ(field(dlg, "1076"), "00001");
    EXPECT_EQ(field(dlg, "1077"), "SC");
    EXPECT_FALSE(dlg.findChild<QCheckBox*>("1067")->isChecked());
    EXPECT_TRUE(sent(rig.reader, "X 2/"));
    EXPECT_TRUE(boxes.records.empty());
}

TEST_F(PrintHead, ScoreFlag3TicksTheBox) {
    ReaderRig rig(ReaderRig::Via::Serial);
    ASSERT_TRUE(start());
    ASSERT_GT(app->device.send(CPendraApp::ToNarrow(QStringLiteral("X 0 AB 0009 分 3/")).constData()), 0);
    CDlgConfigPrint dlg;
    EXPECT_EQ(field(dlg, "1075"), "AB");
    EXPECT_EQ(field(dlg, "1076"), "0009");
    EXPECT_EQ(field(dlg, "1077"), QStringLiteral("分"));  // through code page 936 both ways
    EXPECT_TRUE(dlg.findChild<QCheckBox*>("1067")->isChecked());
}

TEST_F(PrintHead, OkSendsExactlyTheFieldsTheFlagAndTheSlash) {
    ReaderRig rig(ReaderRig::Via::Hid);
    ASSERT_TRUE(start());
    CDlgConfigPrint dlg;
    dlg.findChild<QCheckBox*>("1067")->setChecked(true);
    dlg.findChild<QPushButton*>("1000")->click();
    EXPECT_TRUE(sent(rig.reader, "X 0 NO 00001 SC 3/"));
    EXPECT_EQ(rig.reader.printSettings(), "NO 00001 SC 3");
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("操作成功"));
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

TEST_F(PrintHead, FieldsTooLongForTheCommandAreNotSent) {
    ReaderRig rig(ReaderRig::Via::Hid);
    ASSERT_TRUE(start());
    CDlgConfigPrint dlg;
    // 46 characters of two bytes each in code page 936: 92 bytes
    dlg.findChild<QLineEdit*>("1077")->setText(QString(46, QChar(0x5206)));
    dlg.findChild<QPushButton*>("1000")->click();
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("打印头参数过长，请缩短后重试!"));
    const auto c = rig.reader.commands();
    EXPECT_EQ(std::count_if(c.begin(), c.end(), [](const std::string& s) { return s.rfind("X 0", 0) == 0; }), 0);
    EXPECT_EQ(dlg.result(), 0);
}

TEST_F(PrintHead, RefusedReadShowsTheDeviceErrorAndLeavesTheFieldsEmpty) {
    ReaderRig rig(ReaderRig::Via::Hid);
    ASSERT_TRUE(start());
    vazsim::Fault f;
    f.kind = vazsim::Fault::Kind::Code;
    f.code = "06";
    rig.reader.injectFault("X 2", f);
    CDlgConfigPrint dlg;
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].objectName, "deviceError");
    // A status where the length field belongs is the reader's own refusal.
    EXPECT_TRUE(boxes.records[0].text.startsWith("06: ")) << boxes.records[0].text.toStdString();
    EXPECT_TRUE(field(dlg, "1075").isEmpty());
    EXPECT_TRUE(field(dlg, "1076").isEmpty());
}

TEST_F(PrintHead, SaveCounterWhileNotOnlineFails) {
    ReaderRig rig(ReaderRig::Via::Nothing);
    ASSERT_TRUE(start());
    boxes.records.clear();  // the library's own "not found"
    CDlgConfigPrint dlg;  // opening without a reader: string 101
    dlg.findChild<QPushButton*>("1001")->click();
    ASSERT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("VAZ尚未联机,请先执行联机操作!"));
    EXPECT_EQ(boxes.records[1].text, QStringLiteral("操作失败"));
}

TEST_F(PrintHead, SaveCounterSendsX1) {
    ReaderRig rig(ReaderRig::Via::Hid);
    ASSERT_TRUE(start());
    CDlgConfigPrint dlg;
    dlg.findChild<QPushButton*>("1001")->click();
    EXPECT_TRUE(sent(rig.reader, "X 1/"));
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("操作成功"));
}

TEST_F(PrintHead, TheCommandsOpenTheirDialogs) {
    ReaderRig rig(ReaderRig::Via::Nothing);
    ASSERT_TRUE(start(REAL_VAZ_LIBRARY, true));
    boxes.records.clear();  // the library's own "not found"
    for (int command : {cmd::kMachineNumber, cmd::kDeviceInfo, cmd::kPrintHead}) app->mainFrame()->OnCommand(command);
    QStringList opened;
    for (const ModalRecord& r : boxes.records)
        if (r.objectName != "message") opened << r.objectName;
    EXPECT_EQ(opened, (QStringList{"330", "334", "335"}));
}

}  // namespace

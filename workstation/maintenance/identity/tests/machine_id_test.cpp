// The machine-number gate: which code writes over what, and what reaches the
// reader ("V text/", read back by "v/").
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "service_codes.h"
#include "shell_test_support.h"
#include "write_machine_id_dlg.h"

namespace {

class MachineNumberGate : public ShellTest {
protected:
    // Types the number and the code and presses "写入".
    void write(CDlgWriteMachineId& dlg, const QString& number, const QString& code) {
        dlg.findChild<QLineEdit*>("1050")->setText(number);
        dlg.findChild<QLineEdit*>("1016")->setText(code);
        dlg.findChild<QPushButton*>("1")->click();
    }
    static long versionWrites(const vazsim::VirtualReader& reader) {
        const auto c = reader.commands();
        return std::count_if(c.begin(), c.end(), [](const std::string& s) { return s.rfind("V ", 0) == 0; });
    }
    static std::string identification(vazsim::VirtualReader& reader) {
        bool drop = false;
        return reader.handleCommand("v/", vazsim::Link::Hid, drop).front();
    }
};

TEST_F(MachineNumberGate, AdministratorCodeIsRefusedOnAReaderWithAnIdentification) {
    ReaderRig rig(ReaderRig::Via::Hid);
    rig.reader.setModel("R6KTM10034721");
    ASSERT_TRUE(start());
    CDlgWriteMachineId dlg;
    write(dlg, "12345678", servicecode::kAdministrator);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QString::fromUtf8("该设备中已写入机器号，不可重复写入！\r\n您可以在“帮助”->“关于”对话框中查看设备信息。"));
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(versionWrites(rig.reader), 0);
    EXPECT_EQ(identification(rig.reader), "R6KTM10034721/");
}

TEST_F(MachineNumberGate, MasterCodeWritesTheNumberBehindTheModelLetters) {
    ReaderRig rig(ReaderRig::Via::Hid);
    rig.reader.setModel("R6KTM10034721");
    ASSERT_TRUE(start());
    CDlgWriteMachineId dlg;
    write(dlg, "20260417", servicecode::kMaster);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("操作成功"));
    const auto c = rig.reader.commands();
    EXPECT_NE(std::find(c.begin(), c.end(), "V R6KTM20260417/"), c.end());
    EXPECT_EQ(identification(rig.reader), "R6KTM20260417/");
}

TEST_F(MachineNumberGate, AdministratorCodeWritesToAReaderWithoutIdentification) {
    ReaderRig rig(ReaderRig::Via::Serial);
    rig.reader.setModel("");
    ASSERT_TRUE(start());
    ASSERT_TRUE(app->connected);
    CDlgWriteMachineId dlg;
    write(dlg, "00000042", servicecode::kAdministrator);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(identification(rig.reader), "00000042/");
}

TEST_F(MachineNumberGate, WrongCodeShowsTheRedTextAndWritesNothing) {
    ReaderRig rig(ReaderRig::Via::Hid);
    rig.reader.setModel("");
    ASSERT_TRUE(start());
    CDlgWriteMachineId dlg;
    EXPECT_TRUE(dlg.findChild<QLabel*>("1051")->isHidden());
    write(dlg, "12345678", QStringLiteral("kvx-481-7302"));  // the master code is case-sensitive
    EXPECT_FALSE(dlg.findChild<QLabel*>("1051")->isHidden());
    EXPECT_TRUE(boxes.records.empty());
    EXPECT_EQ(dlg.result(), 0);  // still open for another try
    EXPECT_EQ(versionWrites(rig.reader), 0);
}

TEST_F(MachineNumberGate, OnlyEightDigitsAreAMachineNumber) {
    ReaderRig rig(ReaderRig::Via::Hid);
    rig.reader.setModel("");
    ASSERT_TRUE(start());
    CDlgWriteMachineId dlg;
    for (const char* number : {"1234567", "123456789", "1234567A", "１２３４５６７８"}) {
        write(dlg, QString::fromUtf8(number), servicecode::kMaster);
        EXPECT_EQ(boxes.records.back().text, QStringLiteral("请输入8位数字的机器号!")) << number;
    }
    EXPECT_EQ(boxes.records.size(), 4u);
    EXPECT_EQ(versionWrites(rig.reader), 0);
    EXPECT_EQ(dlg.result(), 0);
}

TEST_F(MachineNumberGate, WithoutAReaderNothingIsAsked) {
    ReaderRig rig(ReaderRig::Via::Nothing);
    ASSERT_TRUE(start());
    boxes.records.clear();  // the library's own "not found"
    CDlgWriteMachineId dlg;
    write(dlg, "12345678", servicecode::kMaster);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("VAZ尚未联机,请先执行联机操作!"));
    EXPECT_TRUE(rig.reader.commands().empty());
}

TEST(MachineNumberText, ModelLettersStayAndAnOldNumberGoes) {
    EXPECT_EQ(CDlgWriteMachineId::identificationWith("R6KTM10034721", "87654321"), "R6KTM87654321");
    EXPECT_EQ(CDlgWriteMachineId::identificationWith("W6112345678", "87654321"), "W6187654321");
    EXPECT_EQ(CDlgWriteMachineId::identificationWith("R6KTM", "87654321"), "R6KTM87654321");
    EXPECT_EQ(CDlgWriteMachineId::identificationWith("", "87654321"), "87654321");
}

}  // namespace

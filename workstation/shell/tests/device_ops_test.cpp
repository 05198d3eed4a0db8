// The shared operations of the application object: device errors, the
// format-file command, messages and the code page 936 conversions.
#include <dlfcn.h>

#include "shell_test_support.h"

class DeviceError : public ShellTest {
protected:
    void SetUp() override {
        rig = std::make_unique<ReaderRig>(ReaderRig::Via::Hid);
        ASSERT_TRUE(start());
        ASSERT_TRUE(app->connected);
    }
    // Lets the reader answer the next "K" command with `code`, sends it and
    // returns ShowDeviceError's result.
    int failWith(const std::string& code) {
        vazsim::Fault f;
        f.kind = vazsim::Fault::Kind::Code;
        f.code = code;
        rig->reader.injectFault("K", f);
        EXPECT_EQ(app->device.send("K 1/"), 0);
        return app->ShowDeviceError(nullptr);
    }
    std::unique_ptr<ReaderRig> rig;
};

TEST_F(DeviceError, NoErrorShowsNothing) {
    ASSERT_EQ(app->device.send("K 1/"), 1);
    EXPECT_EQ(app->ShowDeviceError(nullptr), 255);
    EXPECT_TRUE(boxes.records.empty());
}

TEST_F(DeviceError, NoSheetIsShownAndCountsAsHandled) {
    EXPECT_EQ(failWith("16"), 255);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("16: No sheet"));
    EXPECT_EQ(boxes.records[0].title, QStringLiteral("提示:"));
    EXPECT_EQ(boxes.records[0].icon, QMessageBox::Information);
}

TEST_F(DeviceError, WaitingForACardShowsNothing) {
    EXPECT_EQ(failWith("23"), 254);
    EXPECT_TRUE(boxes.records.empty());
}

TEST_F(DeviceError, OtherCodesAreShownAsFailures) {
    EXPECT_EQ(failWith("03"), 0);
    EXPECT_EQ(failWith("31"), 0);
    ASSERT_EQ(boxes.records.size(), 2u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("03: Double sheet"));
    EXPECT_EQ(boxes.records[1].text, QStringLiteral("31: 未定义的错误"));
}

using FormatFile = ShellTest;

TEST_F(FormatFile, RefusedWhileNotConnected) {
    ReaderRig rig(ReaderRig::Via::Nothing);
    ASSERT_TRUE(start());
    boxes.records.clear();
    EXPECT_FALSE(app->SendFormatFile("a.txt"));
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("VAZ尚未联机,请先执行联机操作!"));
    EXPECT_EQ(boxes.records[0].title, QStringLiteral("提示:"));
    EXPECT_EQ(boxes.records[0].icon, QMessageBox::NoIcon);
}

TEST_F(FormatFile, EmptyPathShowsMessage130AndSendsNothing) {
    ReaderRig rig(ReaderRig::Via::Hid);
    ASSERT_TRUE(start());
    rig.reader.clearTrace();
    EXPECT_FALSE(app->SendFormatFile(QString()));
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("格式文件不存在"));
    EXPECT_TRUE(rig.reader.commands().empty());
}

TEST_F(FormatFile, CommandLetterFollowsTheLowerCaseFlag) {
    setenv("FAKE_VAZ_INIT", "1", 1);
    ASSERT_TRUE(start(PARTIAL_VAZ_LIBRARY));
    auto last = reinterpret_cast<const char* (*)()>(dlsym(app->libraryHandle(), "fake_vaz_last_command"));
    ASSERT_NE(last, nullptr);
    setenv("FAKE_VAZ_S", "255", 1);
    EXPECT_TRUE(app->SendFormatFile("a.txt"));
    EXPECT_STREQ(last(), "S a.txt/");
    app->lowerCaseFormat = 1;
    EXPECT_TRUE(app->SendFormatFile(QStringLiteral("/home/技术员/卡.txt")));
    // The path crosses the boundary in code page 936.
    EXPECT_EQ(QByteArray(last()), QByteArray("s ") + CPendraApp::ToNarrow(QStringLiteral("/home/技术员/卡.txt")) + "/");
    setenv("FAKE_VAZ_S", "0", 1);
    EXPECT_FALSE(app->SendFormatFile("a.txt"));
    setenv("FAKE_VAZ_S", "-1", 1);
    EXPECT_FALSE(app->SendFormatFile("a.txt"));
    unsetenv("FAKE_VAZ_S");
}

TEST(CodePage, RoundTripsChineseThroughCodePage936) {
    const QByteArray narrow = CPendraApp::ToNarrow(QStringLiteral("提示:"));
    EXPECT_EQ(narrow.toHex(), "cce1cabe3a");
    EXPECT_EQ(CPendraApp::ToWide(narrow.constData()), QStringLiteral("提示:"));
    EXPECT_EQ(CPendraApp::ToWide(nullptr), QString());
    EXPECT_EQ(CPendraApp::ToNarrow(QString()), QByteArray());
    // Not the locale's code page: the same bytes read as UTF-8 differ.
    EXPECT_NE(QString::fromUtf8(narrow), QStringLiteral("提示:"));
}

TEST(StringTable, LoadTextKeepsTheMessageText) {
    CPendraApp app;
    EXPECT_EQ(app.LoadText(137), QStringLiteral("灰度测试"));
    EXPECT_EQ(app.messageText, QStringLiteral("灰度测试"));
    EXPECT_EQ(app.LoadText(121), QStringLiteral("没有找到必要的扩展程序libvaz.so"));
    EXPECT_EQ(app.LoadText(999), QString());
}

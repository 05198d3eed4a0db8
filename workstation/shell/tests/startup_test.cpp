// Start-up, binding of the device library, the connection state it leaves
// and the exit.
#include <dlfcn.h>

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "child_frame.h"
#include "kestrin_main.h"
#include "main_frame.h"
#include "shell_test_support.h"

using StartUp = ShellTest;

TEST_F(StartUp, MissingLibraryShowsMessage121AndEndsWithoutWindow) {
    ReaderRig rig(ReaderRig::Via::Nothing);
    StartupOptions options;
    options.libraryFile = "libvaz-not-installed.so";
    app.reset();  // runKestrin makes its own application object
    const int rc = runKestrin({"kestrin"}, options);
    EXPECT_NE(rc, 0);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("没有找到必要的扩展程序libvaz.so"));
    EXPECT_EQ(boxes.records[0].icon, QMessageBox::Warning);
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_EQ(qobject_cast<CMainFrame*>(w), nullptr);
}

TEST_F(StartUp, LibraryLackingExportsStartsWithNullEntries) {
    setenv("FAKE_VAZ_INIT", "1", 1);
    ASSERT_TRUE(start(PARTIAL_VAZ_LIBRARY));
    ASSERT_NE(app->mainFrame(), nullptr);
    EXPECT_TRUE(app->mainFrame()->isVisible());
    for (const char* missing : {"VazFindDev", "VazClose", "VazSetDevType", "VazUpdateFlash", "VazSetTest"})
        EXPECT_EQ(app->device.entry(missing), nullptr) << missing;
    // A null entry is a failed call, not a crash.
    EXPECT_EQ(app->device.updateFlash("/tmp/firmware.bin"), 0);
    EXPECT_NE(app->device.VazInit, nullptr);
    EXPECT_EQ(statusText(), QStringLiteral("已联机__USB口连接"));
}

TEST_F(StartUp, BindsEveryExportOfTheRealLibraryByName) {
    ReaderRig rig(ReaderRig::Via::Nothing);
    ASSERT_TRUE(start());
    void* lib = app->libraryHandle();
    for (const char* name : DeviceFunctionTable::names()) {
        EXPECT_EQ(app->device.entry(name), dlsym(lib, name)) << name;
    }
    // The library offers ten of the fourteen; the others stay null.
    int bound = 0;
    for (const char* name : DeviceFunctionTable::names()) bound += app->device.entry(name) != nullptr;
    EXPECT_EQ(bound, 10);
}

TEST_F(StartUp, WithoutReaderShowsStartPageAndNotConnected) {
    ReaderRig rig(ReaderRig::Via::Nothing);
    ASSERT_TRUE(start());
    EXPECT_EQ(app->connected, 0);
    EXPECT_EQ(statusText(), QStringLiteral("未连接"));
    // Only the library's own box: the workstation adds none.
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text,
              QStringLiteral("Not find Vaz device,make sure Vaz device has been connected!"));
    QMdiSubWindow* page = app->mainFrame()->mdiArea()->currentSubWindow();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->windowTitle(), QStringLiteral("起始页"));
    EXPECT_EQ(app->mainFrame()->windowTitle(), QStringLiteral("起始页 - Kestrin"));
}

TEST_F(StartUp, ConnectsOverUsbToTheVirtualReader) {
    ReaderRig rig(ReaderRig::Via::Hid);
    ASSERT_TRUE(start());
    EXPECT_EQ(app->connected, 1);
    EXPECT_EQ(app->linkKind(), 1);
    EXPECT_EQ(statusText(), QStringLiteral("已联机__USB口连接"));
    EXPECT_TRUE(boxes.records.empty());
}

TEST_F(StartUp, ConnectsOverTheSerialPortToTheVirtualReader) {
    ReaderRig rig(ReaderRig::Via::Serial);
    ASSERT_TRUE(start());
    EXPECT_EQ(app->linkKind(), 2);
    EXPECT_EQ(statusText(), QStringLiteral("已联机__串口连接"));
}

// Results the real library gives only with particular readers or histories.
struct InitCase {
    const char* result;
    int connected;
    const char* status;
};

void PrintTo(const InitCase& c, std::ostream* os) { *os << c.result; }

class StartUpResults : public ShellTest, public ::testing::WithParamInterface<InitCase> {};

TEST_P(StartUpResults, StatusTextFollowsTheLinkByte) {
    setenv("FAKE_VAZ_INIT", GetParam().result, 1);
    ASSERT_TRUE(start(PARTIAL_VAZ_LIBRARY));
    EXPECT_EQ(app->connectionMode, int(std::strtol(GetParam().result, nullptr, 0)));
    EXPECT_EQ(app->connected, GetParam().connected);
    EXPECT_EQ(statusText(), QString::fromUtf8(GetParam().status));
}

INSTANTIATE_TEST_SUITE_P(InitResults, StartUpResults,
                         ::testing::Values(InitCase{"1", 1, "已联机__USB口连接"}, InitCase{"2", 1, "已联机__串口连接"},
                                           InitCase{"0x0301", 1, "已联机__USB口连接"},
                                           InitCase{"0x1102", 1, "已联机__串口连接"}, InitCase{"0", 0, "未连接"},
                                           // type byte only: a failed attempt after an earlier identification
                                           InitCase{"0x1100", 0, "未连接"}),
                         [](const auto& info) { return "result_" + std::string(info.param.result); });


TEST_F(StartUp, ExitFreesTheTestDataAndCallsNoDeviceFunction) {
    void* lib = dlopen(PARTIAL_VAZ_LIBRARY, RTLD_NOW);
    ASSERT_NE(lib, nullptr);
    auto calls = reinterpret_cast<int (*)()>(dlsym(lib, "fake_vaz_calls"));
    ASSERT_NE(calls, nullptr);
    const int loaded = calls();
    ASSERT_TRUE(start(PARTIAL_VAZ_LIBRARY));
    const int before = calls();
    EXPECT_EQ(before, loaded + 1);  // the first VazInit(0), nothing else
    app->ExitInstance();
    EXPECT_EQ(app->testData, nullptr);
    app.reset();
    EXPECT_EQ(calls(), before);
}

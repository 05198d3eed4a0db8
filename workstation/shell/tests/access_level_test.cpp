// The access level: 3 from the command line or from the administrator code
// in the service menu's prompt enables "USB在线升级"; nothing else does.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "access_level_dlg.h"
#include "commands.h"
#include "kestrin_main.h"
#include "main_frame.h"
#include "service_codes.h"
#include "shell_test_support.h"

namespace {

using AccessLevel = ShellTest;

bool usbUpdateEnabled(CPendraApp& app) {
    return app.mainFrame()->action(cmd::kUsbFirmwareUpdate)->isEnabled();
}

TEST_F(AccessLevel, StartOptionSetsItForTheRun) {
    ReaderRig rig(ReaderRig::Via::Nothing);
    StartupOptions options;
    options.libraryFile = REAL_VAZ_LIBRARY;
    options.accessLevel = kServiceAccessLevel;
    ASSERT_TRUE(app->InitInstance(options));
    EXPECT_EQ(app->accessLevel, 3);
    EXPECT_TRUE(usbUpdateEnabled(*app));
}

TEST_F(AccessLevel, OptionOutsideZeroToThreeEndsBeforeAnyWindow) {
    app.reset();  // runKestrin makes its own application object
    for (const char* value : {"4", "-1", "three"})
        EXPECT_EQ(runKestrin({"kestrin", "--access-level", value}), 1) << value;
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_EQ(qobject_cast<CMainFrame*>(w), nullptr);
}

TEST_F(AccessLevel, PromptTakesOnlyTheAdministratorCode) {
    ReaderRig rig(ReaderRig::Via::Nothing);
    ASSERT_TRUE(start(REAL_VAZ_LIBRARY, true));
    boxes.records.clear();
    ASSERT_FALSE(usbUpdateEnabled(*app));
    CAccessLevelDlg dlg;
    auto* code = dlg.findChild<QLineEdit*>("1016");
    EXPECT_EQ(code->echoMode(), QLineEdit::Password);
    code->setText(QString::fromLatin1(servicecode::kDeviceInfo));  // another code
    dlg.findChild<QPushButton*>("1")->click();
    EXPECT_FALSE(dlg.findChild<QLabel*>("1017")->isHidden());
    EXPECT_EQ(app->accessLevel, 0);
    EXPECT_FALSE(usbUpdateEnabled(*app));
    code->setText(QString::fromLatin1(servicecode::kAdministrator));
    dlg.findChild<QPushButton*>("1")->click();
    EXPECT_EQ(app->accessLevel, 3);
    EXPECT_TRUE(usbUpdateEnabled(*app));
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].text, QStringLiteral("访问级别已提升为3，“USB在线升级”已可用。"));
}

TEST_F(AccessLevel, ServiceMenuOpensThePrompt) {
    ReaderRig rig(ReaderRig::Via::Nothing);
    ASSERT_TRUE(start(REAL_VAZ_LIBRARY, true));
    boxes.records.clear();
    app->mainFrame()->OnCommand(cmd::kAccessLevel);
    ASSERT_EQ(boxes.records.size(), 1u);
    EXPECT_EQ(boxes.records[0].objectName, "accessLevel");
    EXPECT_EQ(app->accessLevel, 0);  // rejected by the answerer
}

}  // namespace

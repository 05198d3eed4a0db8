// The update through the device library: the file, the code, and the result
// with a library that has no VazUpdateFlash.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "firmware_rig.h"
#include "service_codes.h"
#include "shell_test_support.h"
#include "update_online_dlg.h"

namespace {

class UpdateOnline : public ShellTest {
protected:
    void SetUp() override {
        file_ = fwtest::WriteFile("update.bin", "firmware");
        ASSERT_TRUE(start());
        boxes.records.clear();
    }
    void update(CUpdateOnlineDlg& dlg, const QString& code) {
        dlg.findChild<QLineEdit*>("1016")->setText(code);
        dlg.findChild<QPushButton*>("1028")->click();
    }
    QStringList shown() const {
        QStringList t;
        for (const ModalRecord& r : boxes.records)
            if (r.objectName == "message") t << r.text;
        return t;
    }
    ReaderRig rig{ReaderRig::Via::Hid};
    std::string file_;
};

TEST_F(UpdateOnline, WithoutVazUpdateFlashTheUpdateFails) {
    ASSERT_EQ(app->device.VazUpdateFlash, nullptr);
    CUpdateOnlineDlg dlg;
    dlg.chooseFile(QString::fromStdString(file_));
    EXPECT_EQ(dlg.findChild<QLineEdit*>("1027")->text().toStdString(), file_);
    update(dlg, servicecode::kAdministrator);
    EXPECT_EQ(shown(), QStringList{QStringLiteral("更新程序失败!")});
    EXPECT_TRUE(dlg.findChild<QLabel*>("1017")->isHidden());
}

TEST_F(UpdateOnline, NoFileAndWrongCodeAreRefused) {
    CUpdateOnlineDlg dlg;
    update(dlg, servicecode::kAdministrator);
    EXPECT_EQ(shown(), QStringList{QStringLiteral("请先选择升级程序!")});
    dlg.chooseFile(QString::fromStdString(file_));
    update(dlg, QStringLiteral("0000") == servicecode::kAdministrator ? "1111" : "0000");
    EXPECT_FALSE(dlg.findChild<QLabel*>("1017")->isHidden());
    EXPECT_EQ(shown().size(), 1);
}

TEST_F(UpdateOnline, ChoosingTheSameFileAgainSaysItIsLoaded) {
    CUpdateOnlineDlg dlg;
    dlg.chooseFile(QString::fromStdString(file_));
    dlg.chooseFile(QString::fromStdString(file_));
    EXPECT_EQ(shown(), QStringList{QStringLiteral("该文件已加载，请点击发送文件!")});
}

}  // namespace

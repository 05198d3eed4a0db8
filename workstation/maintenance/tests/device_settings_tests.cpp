// Calibration and motor settings against the virtual reader through
// libvaz.so: the exact commands, what init.ini remembers, and the defaults.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "device_settings.h"
#include "support/vaz_reader_port.h"
#include "vaz_link_fixture.h"

using namespace devicesettings;

namespace {

class DeviceSettings : public vaztest::ConnectedLink {
protected:
    QString initIni() const { return dir_.filePath("init.ini"); }
    QByteArray stored() const {
        QFile f(initIni());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
    }
    void refuse(const std::string& prefix) {
        vazsim::Fault f;
        f.kind = vazsim::Fault::Kind::Code;
        f.code = "06";
        reader().injectFault(prefix, f);
    }
    QTemporaryDir dir_;
    VazReaderPort port_;
};
INSTANTIATE_TEST_SUITE_P(Links, DeviceSettings, vaztest::BothLinks(), vaztest::LinkName);

using Commands = std::vector<std::string>;

TEST_P(DeviceSettings, WithoutInitIniTheDefaultsApply) {
    CIni ini(initIni());
    EXPECT_EQ(storedGrayLevel(ini), 10);
    EXPECT_EQ(storedSyncMarker(ini), 0);
    EXPECT_EQ(storedMotorSettings(ini), (MotorSettings{1, 0, 0}));
    EXPECT_FALSE(QFile::exists(initIni()));  // reading creates nothing
}

TEST_P(DeviceSettings, StoredValuesOutOfRangeGiveTheDefaults) {
    CIni ini(initIni());
    ini.writeInt("makesign", "gray", 16);
    ini.writeInt("setparma", "MotoRange", 9);
    ini.writeInt("setparma", "ForeTime", -4);
    ini.writeInt("setparma", "BehindTime", 10);
    EXPECT_EQ(storedGrayLevel(ini), 10);
    EXPECT_EQ(storedMotorSettings(ini), (MotorSettings{1, -4, 0}));
}

TEST_P(DeviceSettings, GrayCalibrationSendsTwoDigitsAndRemembersTheLevel) {
    CIni ini(initIni());
    EXPECT_EQ(calibrateGray(port_, ini, 7), kCalibrated);
    EXPECT_EQ(storedGrayLevel(ini), 7);
    EXPECT_EQ(calibrateGray(port_, ini, 12), kCalibrated);
    EXPECT_EQ(commands(), (Commands{"J 07/", "J 12/"}));
    EXPECT_EQ(stored(), "[makesign]\ngray=12\n");
}

TEST_P(DeviceSettings, RefusedCalibrationStoresNothing) {
    CIni ini(initIni());
    ASSERT_EQ(calibrateGray(port_, ini, 9), kCalibrated);
    refuse("J");
    EXPECT_EQ(calibrateGray(port_, ini, 3), kCalibrationFailed);
    EXPECT_EQ(storedGrayLevel(ini), 9);
    refuse("J");
    EXPECT_EQ(calibrateCard(port_, ini), kCalibrationFailed);
    EXPECT_EQ(storedSyncMarker(ini), 0);
    EXPECT_EQ(commands(), (Commands{"J 09/", "J 03/", "J/"}));
}

TEST_P(DeviceSettings, CardCalibrationWritesTheSyncMarker) {
    CIni ini(initIni());
    EXPECT_EQ(calibrateCard(port_, ini), kCalibrated);
    EXPECT_EQ(commands(), Commands{"J/"});
    EXPECT_EQ(stored(), "[makesign]\nsync=73\n");
}

TEST_P(DeviceSettings, MotorSettingsSendCoefficientsFirstThenSpeed) {
    CIni ini(initIni());
    const MotorResult r = applyMotorSettings(port_, ini, MotorSettings{}, MotorSettings{8, -9, 9});
    EXPECT_EQ(r.message, kMotorDone);
    EXPECT_TRUE(r.accepted);
    EXPECT_EQ(r.current, (MotorSettings{8, -9, 9}));
    EXPECT_EQ(commands(), (Commands{"m 01 19/", "M 8/"}));
    EXPECT_EQ(stored(), "[setparma]\nMotoRange=8\nForeTime=-9\nBehindTime=9\n");

    sim_->ClearTrace();
    applyMotorSettings(port_, ini, r.current, MotorSettings{1, 0, 0});
    EXPECT_EQ(commands(), (Commands{"m 10 10/", "M 1/"}));
}

TEST_P(DeviceSettings, RefusedCoefficientsSendNoSpeedAndKeepTheSettings) {
    CIni ini(initIni());
    const MotorSettings current{3, 2, -2};
    refuse("m ");
    const MotorResult r = applyMotorSettings(port_, ini, current, MotorSettings{8, -9, 9});
    EXPECT_EQ(r.message, kMotorFailed);
    EXPECT_FALSE(r.accepted);
    EXPECT_EQ(r.current, current);
    EXPECT_EQ(commands(), Commands{"m 01 19/"});
    EXPECT_EQ(storedMotorSettings(ini), current);

    sim_->ClearTrace();
    refuse("M ");
    EXPECT_EQ(applyMotorSettings(port_, ini, current, MotorSettings{8, -9, 9}).message, kMotorFailed);
    EXPECT_EQ(commands(), (Commands{"m 01 19/", "M 8/"}));
    EXPECT_EQ(storedMotorSettings(ini), current);
}

TEST_P(DeviceSettings, WithoutConnectionNothingIsSent) {
    CIni ini(initIni());
    port_.connectedFlag = false;
    EXPECT_EQ(calibrateGray(port_, ini, 7), kNotConnected);
    EXPECT_EQ(calibrateCard(port_, ini), kNotConnected);
    const MotorResult r = applyMotorSettings(port_, ini, MotorSettings{2, 1, 1}, MotorSettings{8, 0, 0});
    EXPECT_EQ(r.message, kNotConnected);
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(stored(), "[setparma]\nMotoRange=2\nForeTime=1\nBehindTime=1\n");  // written back unchanged
}

}  // namespace

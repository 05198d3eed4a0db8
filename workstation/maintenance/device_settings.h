// The calibration and motor settings of the reader and what init.ini
// remembers of them: the logic of the calibration dialog and the motor
// settings dialog, without their widgets. Every function that talks to the
// reader tests the connected flag first and returns the string id of the
// message the dialog shows.
#pragma once

#include "ini_file.h"
#include "reader_port.h"

namespace devicesettings {

// Message string ids.
constexpr int kNotConnected = 101;       // "VAZ尚未联机,请先执行联机操作!"
constexpr int kCalibrated = 105;         // "标定成功"
constexpr int kCalibrationFailed = 106;  // "标定失败"
constexpr int kMotorFailed = 118;        // "操作失败"
constexpr int kMotorDone = 119;          // "操作成功"

constexpr int kMinGray = 1, kMaxGray = 15, kDefaultGray = 10;
constexpr int kSyncMarker = 73;  // written as "sync" after a card calibration
constexpr int kMinSpeed = 1, kMaxSpeed = 8;
constexpr int kMinCoefficient = -9, kMaxCoefficient = 9;

struct MotorSettings {
    int speed = 1;    // 1 fastest .. 8 slowest
    int forward = 0;  // rubbing coefficients, -9..9
    int reverse = 0;
    bool operator==(const MotorSettings&) const = default;
};

// Stored gray level ("makesign"/"gray"), the default when missing or out of range.
int storedGrayLevel(const CIni& ini);
// Stored "makesign"/"sync" (0 when missing); read by the dialog, not used.
int storedSyncMarker(const CIni& ini);
// Stored "setparma" values; each one out of its range gives its default.
MotorSettings storedMotorSettings(const CIni& ini);
void storeMotorSettings(CIni& ini, const MotorSettings& settings);

// "J %02d/" with `level`; on success "gray" is remembered.
int calibrateGray(ReaderPort& reader, CIni& ini, int level);
// "J/"; on success "sync" = 73 is written.
int calibrateCard(ReaderPort& reader, CIni& ini);

struct MotorResult {
    int message = 0;
    bool accepted = false;  // both commands accepted: the dialog closes
    MotorSettings current;  // the settings the dialog holds afterwards
};
// "m %02d %02d/" with the coefficients + 10, then "M %d/" with the speed; only
// when both are accepted are `chosen` stored. Otherwise `current` is written
// back unchanged.
MotorResult applyMotorSettings(ReaderPort& reader, CIni& ini, const MotorSettings& current,
                               const MotorSettings& chosen);

}  // namespace devicesettings

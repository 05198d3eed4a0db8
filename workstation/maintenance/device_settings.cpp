#include "device_settings.h"

#include <cstdio>

namespace devicesettings {
namespace {

const QString kMakeSign = QStringLiteral("makesign");
const QString kSetParam = QStringLiteral("setparma");

int inRange(int value, int low, int high, int fallback) {
    return value >= low && value <= high ? value : fallback;
}

}  // namespace

int storedGrayLevel(const CIni& ini) {
    return inRange(ini.readInt(kMakeSign, QStringLiteral("gray"), kDefaultGray), kMinGray, kMaxGray,
                   kDefaultGray);
}

int storedSyncMarker(const CIni& ini) {
    return ini.readInt(kMakeSign, QStringLiteral("sync"), 0);
}

MotorSettings storedMotorSettings(const CIni& ini) {
    const MotorSettings d;
    MotorSettings s;
    s.speed =
        inRange(ini.readInt(kSetParam, QStringLiteral("MotoRange"), d.speed), kMinSpeed, kMaxSpeed, d.speed);
    s.forward = inRange(ini.readInt(kSetParam, QStringLiteral("ForeTime"), d.forward), kMinCoefficient,
                        kMaxCoefficient, d.forward);
    s.reverse = inRange(ini.readInt(kSetParam, QStringLiteral("BehindTime"), d.reverse), kMinCoefficient,
                        kMaxCoefficient, d.reverse);
    return s;
}

void storeMotorSettings(CIni& ini, const MotorSettings& s) {
    ini.writeInt(kSetParam, QStringLiteral("MotoRange"), s.speed);
    ini.writeInt(kSetParam, QStringLiteral("ForeTime"), s.forward);
    ini.writeInt(kSetParam, QStringLiteral("BehindTime"), s.reverse);
}

int calibrateGray(ReaderPort& reader, CIni& ini, int level) {
    if (!reader.connected()) return kNotConnected;
    if (level < kMinGray || level > kMaxGray) return kCalibrationFailed;
    char command[ReaderPort::kReplyBufferSize];
    std::snprintf(command, sizeof command, "J %02d/", level);
    if (reader.send(command) <= 0) return kCalibrationFailed;
    // The second status belongs to the exchange; a code still waiting in
    // the library (VazG delivers it) means the reader did not keep the
    // level. Nothing waiting is the normal case after "EN".
    if (reader.get(command) <= 0) ini.writeInt(kMakeSign, QStringLiteral("gray"), level);
    return kCalibrated;
}

int calibrateCard(ReaderPort& reader, CIni& ini) {
    if (!reader.connected()) return kNotConnected;
    if (reader.send("J/") <= 0) return kCalibrationFailed;
    ini.writeInt(kMakeSign, QStringLiteral("sync"), kSyncMarker);
    return kCalibrated;
}

MotorResult applyMotorSettings(ReaderPort& reader, CIni& ini, const MotorSettings& current,
                               const MotorSettings& chosen) {
    MotorResult result;
    result.current = current;
    auto refused = [&](int message) {
        storeMotorSettings(ini, current);
        result.message = message;
        return result;
    };
    if (!reader.connected()) return refused(kNotConnected);
    char command[32];
    std::snprintf(command, sizeof command, "m %02d %02d/", chosen.forward + 10, chosen.reverse + 10);
    if (reader.send(command) <= 0) return refused(kMotorFailed);
    std::snprintf(command, sizeof command, "M %d/", chosen.speed);
    if (reader.send(command) <= 0) return refused(kMotorFailed);
    result.message = kMotorDone;
    result.accepted = true;
    result.current = chosen;
    storeMotorSettings(ini, chosen);
    return result;
}

}  // namespace devicesettings

#include "settings_test_support.h"

#include <QFile>

void SettingsTest::startWith(ReaderRig::Via via) {
    rig_ = std::make_unique<ReaderRig>(via);
    ASSERT_TRUE(start());
    ASSERT_EQ(app->connected != 0, via != ReaderRig::Via::Nothing);
    rig_->reader.clearTrace();
    boxes.records.clear();  // the library's own box about a failed connection
}

void SettingsTest::refuse(const std::string& prefix) {
    vazsim::Fault f;
    f.kind = vazsim::Fault::Kind::Code;
    f.code = "06";
    rig_->reader.injectFault(prefix, f);
}

QString SettingsTest::lastMessage() const {
    return boxes.records.empty() ? QString() : boxes.records.back().text;
}

QByteArray SettingsTest::stored() const {
    QFile f(initIni());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
}

void SettingsTest::put(const QByteArray& bytes) {
    QFile f(initIni());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

std::string linkName(const ::testing::TestParamInfo<ReaderRig::Via>& info) {
    return info.param == ReaderRig::Via::Hid ? "Usb" : "Serial";
}

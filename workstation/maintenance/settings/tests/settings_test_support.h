// The settings dialogs' fixture: the workstation started against a virtual
// reader (over USB, the serial port, or none at all) and an init.ini of the
// test's own.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "shell_test_support.h"

class SettingsTest : public ShellTest {
protected:
    // Starts the workstation with a reader on `via`; connected unless
    // Nothing. The boxes and commands of the start-up are forgotten.
    void startWith(ReaderRig::Via via);
    vazsim::VirtualReader& reader() { return rig_->reader; }
    // The commands the reader received since the connection was made.
    std::vector<std::string> commands() const { return rig_->reader.commands(); }
    // The reader answers the next command starting with `prefix` with an error code.
    void refuse(const std::string& prefix);
    // The last message box's text, empty when none was shown.
    QString lastMessage() const;

    QString initIni() const { return dir_.filePath("init.ini"); }
    QByteArray stored() const;  // the bytes of init.ini, "(none)" when it is missing
    void put(const QByteArray& bytes);

    QTemporaryDir dir_;

private:
    std::unique_ptr<ReaderRig> rig_;
};

// The same tests over both links.
class SettingsOnLink : public SettingsTest, public ::testing::WithParamInterface<ReaderRig::Via> {
protected:
    void SetUp() override { startWith(GetParam()); }
};
std::string linkName(const ::testing::TestParamInfo<ReaderRig::Via>& info);
#define SETTINGS_ON_BOTH_LINKS(suite)                                                                  \
    INSTANTIATE_TEST_SUITE_P(Links, suite, ::testing::Values(ReaderRig::Via::Hid, ReaderRig::Via::Serial), \
                             linkName)

// Without a reader.
class SettingsOffline : public SettingsTest {
protected:
    void SetUp() override { startWith(ReaderRig::Via::Nothing); }
};

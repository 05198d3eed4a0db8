// Where init.ini, config.ini and eva.dat are found, and how paths written in
// config.ini resolve.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "file_locations.h"

namespace {

class Locations : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* d : {"bin", "config", "share/formats", "work"})
            ASSERT_TRUE(QDir(dir_.path()).mkpath(d));
        loc_.programFolder = dir_.filePath("bin");
        loc_.configHome = dir_.filePath("config");
        loc_.shippedFolder = dir_.filePath("share");
        loc_.workingFolder = dir_.filePath("work");
    }
    void touch(const QString& relative) {
        QFile f(dir_.filePath(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QTemporaryDir dir_;
    FileLocations loc_;
};

TEST_F(Locations, SettingsLiveBesideAWritableProgram) {
    EXPECT_EQ(loc_.initIni(), dir_.filePath("bin/init.ini"));
    EXPECT_EQ(loc_.configIni(), dir_.filePath("bin/config.ini"));
    EXPECT_EQ(loc_.shippedConfigIni(), dir_.filePath("share/config.ini"));
    EXPECT_EQ(loc_.evaDat(), dir_.filePath("work/eva.dat"));
}

TEST_F(Locations, SettingsMoveToTheUsersFolderWhenTheProgramsIsNotWritable) {
    loc_.programFolder = QStringLiteral("/proc/1");  // not writable, not even for root
    EXPECT_EQ(loc_.initIni(), dir_.filePath("config/init.ini"));
    EXPECT_EQ(loc_.configIni(), dir_.filePath("config/config.ini"));
    loc_.programFolder = dir_.filePath("missing");
    EXPECT_EQ(loc_.configIni(), dir_.filePath("config/config.ini"));
}

TEST_F(Locations, ConfigPathsTakeEitherSlashAndAreSearchedInOrder) {
    touch("share/formats/card.fmt");
    EXPECT_EQ(loc_.resolveConfigPath("formats\\card.fmt", loc_.configHome),
              dir_.filePath("share/formats/card.fmt"));
    touch("config/card.fmt");
    EXPECT_EQ(loc_.resolveConfigPath(" card.fmt ", loc_.configHome), dir_.filePath("config/card.fmt"));
    ASSERT_TRUE(QDir(loc_.programFolder).mkpath("formats"));
    touch("bin/formats/card.fmt");
    EXPECT_EQ(loc_.resolveConfigPath("formats/card.fmt", loc_.configHome),
              dir_.filePath("bin/formats/card.fmt"));
    // Not found anywhere: the place beside the program, for the message.
    EXPECT_EQ(loc_.resolveConfigPath("formats\\none.fmt", loc_.configHome),
              dir_.filePath("bin/formats/none.fmt"));
    EXPECT_EQ(loc_.resolveConfigPath("/abs//x.fmt", loc_.configHome), "/abs/x.fmt");
}

TEST(LocationsNow, FollowTheEnvironment) {
    qputenv("XDG_CONFIG_HOME", "/xdg/home");
    EXPECT_EQ(FileLocations::current().configHome, "/xdg/home/kestrin");
    qputenv("XDG_CONFIG_HOME", "relative/ignored");
    EXPECT_EQ(FileLocations::current().configHome, QDir::homePath() + "/.config/kestrin");
    qunsetenv("XDG_CONFIG_HOME");
    const FileLocations now = FileLocations::current();
    EXPECT_EQ(now.workingFolder, QDir::currentPath());
    EXPECT_TRUE(QFile::exists(now.programFolder + "/kestrin-maintenance-tests"));
    EXPECT_EQ(now.shippedFolder, QDir::cleanPath(now.programFolder + "/../share/kestrin"));
}

}  // namespace

// Where init.ini, config.ini and eva.dat are found, and how paths written in
// config.ini resolve.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

// A build tree: build/CMakeCache.txt beside build/bin and build/share.
TEST_F(Locations, SettingsLiveBesideAWritableProgramOfABuildTree) {
    touch("CMakeCache.txt");
    EXPECT_FALSE(loc_.installed());
    EXPECT_EQ(loc_.initIni(), dir_.filePath("bin/init.ini"));
    EXPECT_EQ(loc_.configIni(), dir_.filePath("bin/config.ini"));
    EXPECT_EQ(loc_.shippedConfigIni(), dir_.filePath("share/config.ini"));
    EXPECT_EQ(loc_.evaDat(), dir_.filePath("work/eva.dat"));
}

TEST_F(Locations, AnUnpackedKitWithoutSharedDataKeepsItsSettingsBesideTheProgram) {
    loc_.shippedFolder = dir_.filePath("bin/../nothing/kestrin");
    EXPECT_FALSE(loc_.installed());
    EXPECT_EQ(loc_.initIni(), dir_.filePath("bin/init.ini"));
}

// The prefix is writable, as /usr is for root: the settings still go to the
// user's folder, never among the installed programs.
TEST_F(Locations, AnInstalledKitUsesTheUsersFolderEvenWhenItsPrefixIsWritable) {
    ASSERT_TRUE(QFileInfo(loc_.programFolder).isWritable());
    EXPECT_TRUE(loc_.installed());
    EXPECT_EQ(loc_.initIni(), dir_.filePath("config/init.ini"));
    EXPECT_EQ(loc_.configIni(), dir_.filePath("config/config.ini"));
}

TEST_F(Locations, AProgramInASystemFolderIsInstalledWithoutSharedData) {
    loc_.shippedFolder.clear();
    for (const char* folder : {"/usr/bin", "/usr/local/bin", "/bin", "/sbin"}) {
        loc_.programFolder = QString::fromLatin1(folder);
        EXPECT_TRUE(loc_.installed()) << folder;
        EXPECT_EQ(loc_.initIni(), dir_.filePath("config/init.ini")) << folder;
    }
    loc_.programFolder = QStringLiteral("/usrlocal/bin");  // only the folders themselves
    EXPECT_FALSE(loc_.installed());
}

TEST_F(Locations, SettingsMoveToTheUsersFolderWhenTheProgramsIsNotWritable) {
    touch("CMakeCache.txt");
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
    // This program runs from the kit's build tree, which has shipped data too.
    EXPECT_FALSE(now.installed());
    EXPECT_EQ(now.initIni(), now.programFolder + "/init.ini");
}

}  // namespace

// Every file the kit writes, saved over and over by a process that is killed
// with SIGKILL at random moments: what is left is always the old file or the
// new one, whole. The same kill harness must see the damage a plain
// truncate-then-write leaves, or its passes would mean nothing.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "atomic_file.h"
#include "file_kinds.h"

namespace crashsafe {
void PrintTo(const FileKind& kind, std::ostream* out) {
    *out << kind.name.toStdString();
}
}  // namespace crashsafe

namespace {

constexpr int kKills = 30;

class CrashSafeFiles : public ::testing::TestWithParam<crashsafe::FileKind> {
protected:
    QTemporaryDir dir_;
    std::mt19937 rng_{20261209};
};

TEST_P(CrashSafeFiles, KilledWriterLeavesTheOldFileOrTheNewOneWhole) {
    const crashsafe::KillCounts c = crashsafe::killWhileSaving(GetParam(), dir_.path(), kKills, rng_);
    ASSERT_TRUE(c.setupProblem.isEmpty()) << c.setupProblem.toStdString();
    EXPECT_EQ(c.kills, kKills);
    EXPECT_EQ(c.survived, c.kills) << c.firstDamage.toStdString();
    // Kills landed both before and after a save took effect.
    EXPECT_GT(c.sawOld, 0);
    EXPECT_GT(c.sawNew, 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CrashSafeFiles, ::testing::ValuesIn(crashsafe::kitFileKinds()),
                         [](const ::testing::TestParamInfo<crashsafe::FileKind>& info) {
                             return QString(info.param.fileName).replace(u'.', u'_').toStdString();
                         });

TEST(CrashSafeHarness, SeesWhatAKilledTruncatingWriterLeaves) {
    QTemporaryDir dir;
    std::mt19937 rng(20261209);
    const crashsafe::KillCounts c = crashsafe::killWhileSaving(crashsafe::truncatingWriter(), dir.path(), kKills, rng);
    ASSERT_TRUE(c.setupProblem.isEmpty()) << c.setupProblem.toStdString();
    EXPECT_LT(c.survived, c.kills);
    EXPECT_FALSE(c.firstDamage.isEmpty());
}

// A killed writer's temporary file stays behind; the next save of the same
// file removes it, but never the file of a writer that is still running, nor
// the temporaries of another file.
TEST(CrashSafeLeftovers, ASaveRemovesWhatAKilledWriterLeftAndKeepsALiveWritersFile) {
    QTemporaryDir dir;
    const QDir folder(dir.path());
    ASSERT_TRUE(atomicfile::save(folder.filePath("eva.dat"), QByteArray("old")));

    const pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ASSERT_GT(dead, 0);
    ::waitpid(dead, nullptr, 0);
    const pid_t live = ::fork();
    if (live == 0) {
        ::pause();
        ::_exit(0);
    }
    ASSERT_GT(live, 0);

    auto touch = [&](const QString& name) {
        QFile f(folder.filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write("half") == 4;
    };
    const QString deadTemp = QStringLiteral("eva.dat.tmp-%1-a1").arg(dead);
    const QString liveTemp = QStringLiteral("eva.dat.tmp-%1-b2").arg(live);
    const QString otherTemp = QStringLiteral("init.ini.tmp-%1-c3").arg(dead);
    ASSERT_TRUE(touch(deadTemp) && touch(liveTemp) && touch(otherTemp));

    ASSERT_TRUE(atomicfile::save(folder.filePath("eva.dat"), QByteArray("new")));
    ::kill(live, SIGKILL);
    ::waitpid(live, nullptr, 0);

    EXPECT_FALSE(folder.exists(deadTemp));
    EXPECT_TRUE(folder.exists(liveTemp));
    EXPECT_TRUE(folder.exists(otherTemp));
}

}  // namespace

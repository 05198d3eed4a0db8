// Every file the kit writes, saved over and over by a process that is killed
// with SIGKILL at random moments: what is left is always the old file or the
// new one, whole. The same kill harness must see the damage a plain
// truncate-then-write leaves, or its passes would mean nothing.
#include <gtest/gtest.h>

#include <QTemporaryDir>

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

}  // namespace

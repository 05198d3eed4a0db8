// The format-file parser on its own: treatments, limits and the corners of
// the syntax that the download tests do not reach.
#include <gtest/gtest.h>

#include <string>

#include "format_parser.h"

using vaz::format::Kind;
using vaz::format::Parse;

namespace {

TEST(FormatParser, FLineNumbersAndRebuild) {
    const auto cmds = Parse("f 1 20 10 5 40/f 2 3 3 4 5/f 1 2 3 4 5/");
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_EQ(cmds[0].kind, Kind::FLine);
    EXPECT_EQ(cmds[0].toSend, "f 1 010 020 05 40/");
    EXPECT_EQ(cmds[0].p[4], 40);
    EXPECT_EQ(cmds[1].toSend, "f 2 003 003 04 05/");  // equal numbers count as p2 >= p3
    EXPECT_EQ(cmds[2].toSend, "f 1 2 3 4 5/");
}

TEST(FormatParser, IncompleteFLineIsNotRebuilt) {
    auto cmds = Parse("f 9 5/");
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].kind, Kind::FLine);
    EXPECT_EQ(cmds[0].toSend, "f 9 5/");
    EXPECT_EQ(cmds[0].p[4], 0);
    cmds = Parse("f 1 900000 10 5 40/");  // a run over 5 digits
    EXPECT_EQ(cmds[0].numberCount, -1);
    EXPECT_EQ(cmds[0].toSend, "f 1 900000 10 5 40/");
}

TEST(FormatParser, ShortFLimitIsTwentyCharacters) {
    const std::string f20 = "F" + std::string(18, '1') + "/";
    const std::string f21 = "F" + std::string(19, '1') + "/";
    ASSERT_EQ(f20.size(), 20u);
    auto cmds = Parse(f20 + " K 1/\nK 2/\n" + f21 + " K 3/");
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_EQ(cmds[0].text, "K 2/");
    EXPECT_EQ(cmds[1].kind, Kind::LongF);
    EXPECT_EQ(cmds[1].text, f21);
    EXPECT_EQ(cmds[2].text, "K 3/");
    // A dropped short "F" on the file's last line takes the rest of the file.
    EXPECT_TRUE(Parse("F 1/ K 1/").empty());
}

TEST(FormatParser, KindsOfTheOtherLetters) {
    const auto cmds = Parse("T 1/L 2/S 3/");
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_EQ(cmds[0].kind, Kind::TLine);
    EXPECT_EQ(cmds[1].kind, Kind::LLine);
    EXPECT_EQ(cmds[2].kind, Kind::Ordinary);
}

TEST(FormatParser, CommentsAndSeparators) {
    EXPECT_TRUE(Parse("; only a comment without line end").empty());
    EXPECT_TRUE(Parse("\r\n  \"\xff\xff\"\n").empty());
    auto cmds = Parse("K 1;tail of line\n 2/");
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].text, "K 1\n 2/");
    // Inside a command separators are bytes of the command.
    cmds = Parse("X \"a b\"\r\n/");
    EXPECT_EQ(cmds[0].text, "X \"a b\"\r\n/");
    // A tab is not skipped between commands.
    cmds = Parse("\tK 1/");
    EXPECT_EQ(cmds[0].text, "\tK 1/");
}

TEST(FormatParser, LengthLimit) {
    const std::string atLimit = "S " + std::string(vaz::format::kMaxCommandLength - 3, '1') + "/";
    const std::string over = "S " + std::string(vaz::format::kMaxCommandLength - 2, '1') + "/";
    const auto cmds = Parse(atLimit + over + "K 1/");
    ASSERT_EQ(cmds.size(), 3u);
    EXPECT_EQ(cmds[0].kind, Kind::Ordinary);
    EXPECT_EQ(cmds[0].toSend.size(), vaz::format::kMaxCommandLength);
    EXPECT_EQ(cmds[1].kind, Kind::Overlong);
    EXPECT_TRUE(cmds[1].toSend.empty());
    EXPECT_EQ(cmds[1].text, over);  // kept whole for the message
    EXPECT_EQ(cmds[2].text, "K 1/");
}

TEST(FormatParser, UnterminatedCommandIsDropped) {
    const auto cmds = Parse("K 1/K 2");
    ASSERT_EQ(cmds.size(), 1u);
    EXPECT_EQ(cmds[0].text, "K 1/");
}

}  // namespace

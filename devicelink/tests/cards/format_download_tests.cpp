// The format download through VazS "S path/" and "s path/": what reaches the
// reader for each kind of format line, the messages for bad files and
// refused lines, and the flags the download leaves for the block read.
#include <string>
#include <vector>

#include "vaz_link_fixture.h"

using namespace vaztest;
using Strings = std::vector<std::string>;

namespace {

class FormatDownload : public ConnectedLink {};
INSTANTIATE_TEST_SUITE_P(Links, FormatDownload, BothLinks(), LinkName);

TEST_P(FormatDownload, FLineWithLargerSecondNumberIsSentSwapped) {
    EXPECT_EQ(Download("f 1 20 10 5 40/\nf 1 10 20 5 40/\n"), 255);
    EXPECT_EQ(commands(), (Strings{"S a.txt/", "f 1 010 020 05 40/", "f 1 10 20 5 40/", "EN/"}));
    EXPECT_TRUE(reader().hasFormat());
}

TEST_P(FormatDownload, TLineAndShortFLineDropTheRestOfTheLine) {
    // The short "F" command and whatever follows it on its line are not
    // sent; the next line starts a fresh command.
    EXPECT_EQ(Download("T 020/\nF 1 2/ X 9/\nK 1/\n"), 255);
    EXPECT_EQ(commands(), (Strings{"S a.txt/", "T 020/", "K 1/", "EN/"}));
}

TEST_P(FormatDownload, LongFLineIsSentAsWritten) {
    const std::string longF = "F 1 2 3 4 5 6 7 8 9 10/";  // 23 characters
    EXPECT_EQ(Download(longF + "\n"), 255);
    EXPECT_EQ(commands(), (Strings{"S a.txt/", longF, "EN/"}));
}

TEST_P(FormatDownload, CommentsSeparatorsAndSplitCommands) {
    // Comments vanish, quotes / blanks / CR LF / 0xFF between commands are
    // skipped, a command broken by a comment continues on the next line.
    const std::string file =
        "; layout of the practice card\r\n\"L 1/\"  \xff\r\nS 1 ;first half\n2/\n;last\n";
    EXPECT_EQ(Download(file), 255);
    EXPECT_EQ(commands(), (Strings{"S a.txt/", "L 1/", "S 1 \n2/", "EN/"}));
}

TEST_P(FormatDownload, RefusedLineStopsWithMessageAndStillClosesTheDownload) {
    reader().refuseFormatCommand("K 2", "06");
    const int r = Download("K 1/\nK 2/\nK 3/\n");
    EXPECT_EQ(commands(), (Strings{"S a.txt/", "K 1/", "K 2/", "EN/"}));
    EXPECT_EQ(CountBoxes("Fomat cmd K 2/defined error or load error"), 1);
    // The reader answers the closing "EN/" of a refused download with its code.
    EXPECT_EQ(r, 0);
    EXPECT_EQ(ErrorCode(), "06");
}

TEST_P(FormatDownload, OverlongCommandIsRefusedNotCut) {
    const std::string longCmd = "S " + std::string(1100, '1') + "/";
    Download("K 1/\n" + longCmd + "\nK 3/\n");
    EXPECT_EQ(commands(), (Strings{"S a.txt/", "K 1/", "EN/"}));
    EXPECT_EQ(CountBoxes("Fomat cmd S 111"), 1);
    EXPECT_EQ(CountBoxes("defined error or load error"), 1);
}

TEST_P(FormatDownload, SupplementTooLargeForTheReplyBufferIsRefused) {
    EXPECT_EQ(Download("K 1/\nf 1 10 20 5 5008/\nK 3/\n"), 0);
    // The download is closed, the "f" line never reaches the reader.
    EXPECT_EQ(commands(), (Strings{"S a.txt/", "K 1/", "EN/"}));
    EXPECT_EQ(CountBoxes("Fomat cmd f 1 10 20 5 5008/defined error or load error"), 1);
    ClearBoxes();
    EXPECT_EQ(Download("f 1 10 20 5 5007/\n"), 255);  // the largest that fits
    EXPECT_EQ(CountBoxes("defined error"), 0);
}

TEST_P(FormatDownload, CommandOfTheLongestAcceptedLengthIsSent) {
    const std::string cmd = "S " + std::string(1020, '7') + "/";  // 1023 characters
    ASSERT_EQ(cmd.size(), 1023u);
    EXPECT_EQ(Download(cmd), 255);
    ASSERT_EQ(commands().size(), 3u);
    EXPECT_EQ(commands()[1], cmd);
    EXPECT_EQ(CountBoxes("defined error"), 0);
}

TEST_P(FormatDownload, MissingFileShowsTheFileErrorAndSendsNothing) {
    const std::string path = vaztest::TempDir() + "/no-such-format.txt";
    EXPECT_EQ(Vaz().VazS(("S " + path + "/").c_str()), 0);
    EXPECT_TRUE(commands().empty());
    const auto boxes = vaztest::Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "No such file or directory");
    EXPECT_EQ(boxes[1].text, "Open the format file failed!:" + path);
}

TEST_P(FormatDownload, DirectoryIsAFileError) {
    EXPECT_EQ(Vaz().VazS(("S " + vaztest::TempDir() + "/").c_str()), 0);
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(CountBoxes("Open the format file failed!:"), 1);
}

TEST_P(FormatDownload, EmptyFileIsAFormatError) {
    EXPECT_EQ(Download(""), 0);
    EXPECT_TRUE(commands().empty());
    EXPECT_EQ(CountBoxes("Format file error,please check it."), 1);
}

TEST_P(FormatDownload, LowerCaseDownloadStartsWithShortS) {
    EXPECT_EQ(Download("K 1/\n", 's'), 255);
    EXPECT_EQ(commands(), (Strings{"s/", "K 1/", "EN/"}));
    // The flag lasts one download only.
    sim_->ClearTrace();
    EXPECT_EQ(Download("K 1/\n"), 255);
    EXPECT_EQ(commands().front(), "S a.txt/");
}

TEST_P(FormatDownload, RefusedStartSendsNoLines) {
    vazsim::Fault f;
    f.kind = vazsim::Fault::Kind::Code;
    f.code = "10";
    reader().injectFault("S a.txt/", f);
    EXPECT_EQ(Download("K 1/\n"), 0);
    EXPECT_EQ(commands(), (Strings{"S a.txt/"}));
    EXPECT_EQ(ErrorCode(), "10");
    EXPECT_EQ(vaztest::Boxes().size(), 0u);
}

TEST_P(FormatDownload, UnterminatedLastCommandIsNotSent) {
    EXPECT_EQ(Download("K 1/\nK 2"), 255);
    EXPECT_EQ(commands(), (Strings{"S a.txt/", "K 1/", "EN/"}));
}

}  // namespace

// vazctl as a production line runs it: a child process against the virtual
// reader of this test (over the pseudo-terminal or the HID socket), judged by
// its output and its exit status.
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "vaz_link_fixture.h"

using namespace vaztest;

namespace {

struct CtlRun {
    int exit = -1;
    std::string out;
};

CtlRun RunVazctl(const std::string& args) {
    const std::string cmd = std::string(VAZCTL_PATH) + " " + args + " 2>/dev/null";
    CtlRun r;
    FILE* p = popen(cmd.c_str(), "r");
    if (p == nullptr) return r;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    const int status = pclose(p);
    r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

bool Has(const CtlRun& r, const std::string& part) {
    return r.out.find(part) != std::string::npos;
}

// The reader runs in this process; the library of this process stays
// disconnected so that vazctl has the link to itself.
class Vazctl : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        sim_ = std::make_unique<Sim>(GetParam());
        link_ = GetParam() == Sim::kHid ? "--usb" : "--serial";
        format_ = WriteFile("; practice card\nf 1 10 20 5 4/\n");
    }
    vazsim::VirtualReader& reader() { return sim_->reader(); }
    CtlRun Ctl(const std::string& args) { return RunVazctl(link_ + " " + args); }
    void AddCards(int n) {
        for (int i = 1; i <= n; ++i) {
            vazsim::Sheet s = SheetWith("0000000" + std::to_string(i) + "ABCD");
            s.extra = "X" + std::to_string(i);
            reader().addCard(s);
        }
    }
    std::unique_ptr<Sim> sim_;
    std::string link_;
    std::string format_;
};
INSTANTIATE_TEST_SUITE_P(Links, Vazctl, ::testing::Values(int(Sim::kSerial), int(Sim::kHid)), LinkName);

TEST_P(Vazctl, ReadsTheDeckUntilTheHopperIsEmpty) {
    AddCards(3);
    const CtlRun r = Ctl("--json read 0 --format " + format_);
    EXPECT_EQ(r.exit, 0) << r.out;
    EXPECT_TRUE(Has(r, "\"read\":3")) << r.out;
    EXPECT_TRUE(Has(r, "\"hopperEmpty\":true"));
    EXPECT_TRUE(Has(r, "\"data\":\"X10000000001ABCD\"")) << r.out;  // supplement + card text
    EXPECT_TRUE(Has(r, "\"data\":\"X30000000003ABCD\""));
    EXPECT_TRUE(Has(r, "\"number\":73"));
    EXPECT_EQ(reader().hopperSize(), 0u);
}

TEST_P(Vazctl, ShortDeckAndSheetFaultsHaveTheirExitStatus) {
    AddCards(1);
    CtlRun r = Ctl("--json read 2 --format " + format_);
    EXPECT_EQ(r.exit, 5) << r.out;
    EXPECT_TRUE(Has(r, "\"read\":1"));

    vazsim::Sheet bad = SheetWith("1");
    bad.fault = "03";
    reader().addCard(bad);
    AddCards(1);
    r = Ctl("--json read 2 --format " + format_);
    EXPECT_EQ(r.exit, 4) << r.out;
    EXPECT_TRUE(Has(r, "\"code\":\"03\",\"text\":\"Double sheet\"")) << r.out;
    EXPECT_TRUE(Has(r, "\"read\":1,\"failed\":1"));
}

TEST_P(Vazctl, InfoAndGrayAsText) {
    CtlRun r = Ctl("info");
    EXPECT_EQ(r.exit, 0);
    EXPECT_TRUE(Has(r, "identification: R6KTM V1.00")) << r.out;
    reader().addCard(vazsim::blankSheet(5, 3));
    r = Ctl("--json gray --lines 5");
    EXPECT_EQ(r.exit, 0) << r.out;
    EXPECT_TRUE(Has(r, "\"lines\":5"));
    EXPECT_TRUE(Has(r, "\"gray\":[[3,3,3,"));
}

TEST_P(Vazctl, CounterWithZeroBytesIsReportedWhole) {
    reader().setCardCounter(65537);  // 01 00 01 00
    CtlRun r = Ctl("--json sg N/");
    EXPECT_EQ(r.exit, 0) << r.out;
    EXPECT_TRUE(Has(r, "\"result\":4")) << r.out;
    EXPECT_TRUE(Has(r, "\"bytes\":[1,0,1,0]")) << r.out;
}

TEST_P(Vazctl, FormatErrorsAreReported) {
    const CtlRun r = Ctl("--json format /nonexistent/format.txt");
    EXPECT_EQ(r.exit, 4);
    EXPECT_TRUE(Has(r, "Open the format file failed!:/nonexistent/format.txt")) << r.out;
}

TEST(VazctlCommandLine, UsageErrorsTouchNoReader) {
    EXPECT_EQ(RunVazctl("").exit, 1);
    EXPECT_EQ(RunVazctl("read").exit, 1);
    EXPECT_EQ(RunVazctl("read many").exit, 1);
    EXPECT_EQ(RunVazctl("gray --lines 0").exit, 1);
    EXPECT_EQ(RunVazctl("frobnicate").exit, 1);
    const CtlRun help = RunVazctl("--help");
    EXPECT_EQ(help.exit, 0);
    EXPECT_TRUE(Has(help, "EXIT STATUS"));
}

TEST(VazctlCommandLine, NoReaderIsExitThree) {
    vaztest::SetSerialPorts("");
    vaztest::SetHidDevices("");
    const CtlRun r = RunVazctl("--serial --json connect");
    EXPECT_EQ(r.exit, 3);
    EXPECT_TRUE(Has(r, "\"link\":\"none\"")) << r.out;
}

}  // namespace

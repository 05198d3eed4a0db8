// Connection: the online gate, VazInit on both links, the already-connected
// question, the device type table, identification and counter texts.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "vaz_test_support.h"

using namespace vaztest;

namespace {

class Offline : public ::testing::Test {
protected:
    void SetUp() override {
        ClearBoxes();
        SetSerialPorts("");
        SetHidDevices("");
    }
    void TearDown() override { ResetLibrary(); }
};

TEST_F(Offline, GatedExportsRefuseBeforeInit) {
    const VazApi& v = Vaz();
    char buf[64] = "x";
    int values[16];
    EXPECT_EQ(v.VazS("K 1/"), -1);
    EXPECT_EQ(v.VazG(buf), -1);
    EXPECT_EQ(v.VazSG("v/", buf), -1);
    EXPECT_EQ(v.VazGetValue('A', values), -1);
    EXPECT_EQ(v.VazGetOriOrGray('A', values), -1);
    EXPECT_EQ(v.VazGetCurve('A', values), -1);
    EXPECT_EQ(v.VazSetTest(5, 3), -1);
    EXPECT_EQ(v.VazSetPaint(1), -1);
    EXPECT_EQ(v.VazCrashReport(), 0);
    EXPECT_STREQ(buf, "x");
    EXPECT_TRUE(Boxes().empty());  // nothing was transferred
}

TEST_F(Offline, DisconnectOnFreshLibraryChangesNothing) {
    EXPECT_EQ(Vaz().VazInit(-1), 0);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(ErrorCode(), "00");
}

TEST_F(Offline, UsbModeWithoutReaderOpensNoSerialPort) {
    SilentPort port;
    SetSerialPorts(port.path());
    EXPECT_EQ(Vaz().VazInit(1), 0);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Not find Vaz device,make sure Vaz device has been connected!");
    EXPECT_EQ(boxes[0].caption, "Tip");
    EXPECT_EQ(boxes[0].buttons, VAZ_BOX_OK);
    EXPECT_EQ(port.Written(), "");
}

TEST_F(Offline, UngatedExportWithoutLinkShowsUnknownError) {
    EXPECT_EQ(Vaz().VazBackUp(), 0);
    EXPECT_GE(CountBoxes("error 1024:An unknown error."), 1);
    EXPECT_EQ(ErrorCode(), "18");  // the empty reply is no status
}

class Connect : public ::testing::Test {
protected:
    void TearDown() override { ResetLibrary(); }
};

TEST_F(Connect, UsbReaderOfType11) {
    Sim sim(Sim::kHid, "R6KTM V2.01");
    sim.reader().setCardCounter(1234);
    EXPECT_EQ(Vaz().VazInit(0), 0x1101);
    char buf[65] = {};
    ASSERT_TRUE(Vaz().VazGetDevInfo(1, buf));
    EXPECT_STREQ(buf, "R6KTM V2.01");
    ASSERT_TRUE(Vaz().VazGetDevInfo(2, buf));
    EXPECT_STREQ(buf, "1234");
    // The handshake: ONLINE/, v/, N/ each in a report of its own.
    auto commands = sim.reader().commands();
    ASSERT_GE(commands.size(), 3u);
    EXPECT_EQ(commands[0], "ONLINE/");
    EXPECT_EQ(commands[1], "v/");
    EXPECT_EQ(commands[2], "N/");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(Connect, SerialReaderOnCom3AfterTwoSilentPorts) {
    SilentPort com1, com2;
    Sim sim(Sim::kSerial, "R6KTM V2.01");
    SetSerialPorts(com1.path() + ":" + com2.path() + ":" + sim.ptyPath());
    SetHidDevices("");
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(Vaz().VazInit(0), 0x1102);
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    EXPECT_GE(seconds, 4.0);  // each silent port waits out its status time-out
    EXPECT_EQ(com1.Written(), "ONLINE/");
    EXPECT_EQ(com2.Written(), "ONLINE/");
    EXPECT_EQ(Vaz().VazS("K 1/"), 1);
}

TEST_F(Connect, AlreadyConnectedAnsweredNoKeepsTheConnection) {
    Sim sim(Sim::kHid);
    ASSERT_EQ(Vaz().VazInit(0), 0x1101);
    SetYesNoAnswer(VAZ_ANSWER_NO);
    EXPECT_EQ(Vaz().VazInit(0), 1);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Vaz device has connected,whether or not to connect?");
    EXPECT_EQ(boxes[0].caption, "Tip");
    EXPECT_EQ(boxes[0].buttons, VAZ_BOX_YESNO);
    EXPECT_EQ(Vaz().VazS("K 1/"), 1);
}

TEST_F(Connect, AlreadyConnectedAnsweredYesConnectsAgain) {
    Sim sim(Sim::kHid);
    ASSERT_EQ(Vaz().VazInit(0), 0x1101);
    sim.ClearTrace();
    SetYesNoAnswer(VAZ_ANSWER_YES);
    EXPECT_EQ(Vaz().VazInit(0), 0x1101);
    EXPECT_EQ(CountBoxes("whether or not to connect"), 1);
    auto commands = sim.reader().commands();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands[0], "ONLINE/");
}

TEST_F(Connect, FailedReconnectionKeepsTheLastTypeAndGoesOffline) {
    {
        Sim sim(Sim::kHid);
        ASSERT_EQ(Vaz().VazInit(1), 0x1101);
    }
    SetHidDevices("");
    EXPECT_EQ(Vaz().VazInit(1), 0x1100);
    EXPECT_EQ(Vaz().VazS("K 1/"), -1);
}

TEST_F(Connect, DeviceTypeTable) {
    Sim sim(Sim::kHid);
    const struct {
        const char* text;
        int code;
    } rows[] = {
        {"R6KTM", 0x11}, {"R6KMT", 0x12}, {"R6KWE", 0x13}, {"KT91E", 0x14}, {"V8KTM", 0x21},
        {"V8KMT", 0x22}, {"V8KWE", 0x23}, {"KT93E", 0x24}, {"W61", 0x15},   {"w82x", 0x25},
        {"J34", 0x16},   {"j46", 0x17},   {"P57", 0x26},   {"p68", 0x26},   {"J79", 0x27},
        {"D57", 0x28},   {"g57", 0x28},   {"G57", 0x28},   {"d57", 0x28},   {"J12", 9},
        {"W99", 9},      {"r6ktm", 9},    {"Q", 9},        {"AR6KTM", 0x51}, {"aw82", 0x65},
        {"AKT93E", 0x64}, {"AJ79", 0x67},
    };
    for (const auto& row : rows) {
        sim.reader().setModel(row.text);
        Vaz().VazInit(-1);
        EXPECT_EQ(Vaz().VazInit(1), row.code * 256 + 1) << row.text;
    }
}

TEST_F(Connect, CounterTextsAndBytesARawPortKeeps) {
    Sim sim(Sim::kSerial);
    ASSERT_EQ(Vaz().VazInit(2), 0x1102);
    char buf[65];
    sim.reader().setCardCounter(10000);  // 0x10 0x27 0x00 0x00
    ASSERT_TRUE(Vaz().VazGetDevInfo(2, buf));
    EXPECT_STREQ(buf, "10000");
    sim.reader().setCardCounter(65536);  // 0x00 0x00 0x01 0x00
    ASSERT_TRUE(Vaz().VazGetDevInfo(2, buf));
    EXPECT_STREQ(buf, "65536");
    // CR, LF, XON, XOFF: a cooked terminal would translate or swallow them.
    sim.reader().setCardCounter(0x13110A0Du);
    ASSERT_TRUE(Vaz().VazGetDevInfo(2, buf));
    EXPECT_STREQ(buf, "319883789");
    EXPECT_EQ(Vaz().VazSG("N/", buf), 4);
    EXPECT_EQ(0, memcmp(buf, "\x0D\x0A\x11\x13", 5));
}

TEST_F(Connect, OverlongIdentificationDoesNotOverflow) {
    for (int links : {Sim::kSerial, Sim::kHid}) {
        // On USB the text element must fit one report (the library reads one).
        const std::string model(links == Sim::kSerial ? 150 : 60, 'Z');
        Sim sim(links, model);
        ASSERT_GT(Vaz().VazInit(links == Sim::kSerial ? 2 : 1), 0);
        char buf[100];
        memset(buf, 0x55, sizeof buf);
        ASSERT_TRUE(Vaz().VazGetDevInfo(1, buf));
        size_t kept = links == Sim::kSerial ? 64 : 15;
        EXPECT_EQ(strlen(buf), kept);
        EXPECT_EQ(std::string(buf), model.substr(0, kept));
        for (size_t i = kept + 1; i < sizeof buf; ++i) ASSERT_EQ(buf[i], 0x55) << "byte " << i;
        // The reply was read to its end: the next command sees its own status.
        EXPECT_EQ(Vaz().VazS("K 1/"), 1);
        ResetLibrary();
    }
}

TEST_F(Connect, UsbIdentificationKeepsFifteenBytes) {
    Sim sim(Sim::kHid, "R6KTM-0123456789ABCDEF");
    ASSERT_EQ(Vaz().VazInit(1), 0x1101);
    char buf[65] = {};
    EXPECT_EQ(Vaz().VazSG("v/", buf), 15);
    EXPECT_STREQ(buf, "R6KTM-012345678");
}

TEST_F(Connect, EnvironmentIsReadAtEveryDiscovery) {
    Sim a(Sim::kHid, "R6KTM");
    Sim b(Sim::kHid, "V8KTM");
    SetHidDevices(a.socketPath());
    EXPECT_EQ(Vaz().VazInit(1), 0x1101);
    Vaz().VazInit(-1);
    SetHidDevices(b.socketPath() + ",vid=6816,pid=2001");
    EXPECT_EQ(Vaz().VazInit(1), 0x2101);
    Vaz().VazInit(-1);
    // A device with another product id is skipped; the next entry matches.
    SetHidDevices(b.socketPath() + ",pid=2002;" + a.socketPath());
    EXPECT_EQ(Vaz().VazInit(1), 0x1101);
}

}  // namespace

// Transport lifecycles: reconnection, shutdown under load, files left behind,
// the trace, and the vazsim program itself.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "test_support.h"
#include "vazsim/trace_format.h"

using namespace simtest;
using vazsim::Direction;
using vazsim::Link;

TEST(PtyTransport, SlaveIsRawBeforeAnyHostSetsIt) {
    vazsim::VirtualReader reader;
    vazsim::PtyTransport pty(reader);
    int fd = open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
    termios t{};
    ASSERT_EQ(tcgetattr(fd, &t), 0);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | IXON), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    close(fd);
}

TEST(PtyTransport, HostClosesAndReopens) {
    Rig rig;
    for (int i = 0; i < 3; ++i) {
        SerialHost host(rig.pty->path());
        EXPECT_EQ(host.exchange("ONLINE/", 4), "ENEN") << "round " << i;
    }
}

TEST(PtyTransport, SymlinkRemovedOnDestruction) {
    vazsim::VirtualReader reader;
    std::string link = tempPath("gone");
    {
        vazsim::PtyTransport pty(reader, link);
        EXPECT_TRUE(std::filesystem::is_symlink(link));
        EXPECT_EQ(pty.path(), link);
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(PtyTransport, ShutdownWhileTheHostDoesNotRead) {
    vazsim::VirtualReader reader;
    reader.setSeed(9);
    reader.addCards(std::vector<vazsim::Sheet>(1, vazsim::blankSheet(199)));
    auto pty = std::make_unique<vazsim::PtyTransport>(reader);
    SerialHost host(pty->path());
    host.write("I 2 99/");
    for (int i = 0; i < 20; ++i) host.write("I 7/");  // ~400 kB of replies nobody reads
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    auto t0 = std::chrono::steady_clock::now();
    pty.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
}

TEST(HidSocketTransport, NewConnectionReplacesTheOld) {
    Rig rig;
    HidHost first(rig.hid->path());
    first.send("ONLINE/");
    EXPECT_EQ(first.receivePayloads(2).size(), 2u);
    HidHost second(rig.hid->path());
    EXPECT_EQ(first.receive(), "<eof>");
    second.send("N/");
    std::vector<std::string> p = second.receivePayloads(2);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[0].substr(0, 4), std::string("\x10\x27\0\0", 4));
}

TEST(HidSocketTransport, ShutdownWhileTheHostDoesNotRead) {
    vazsim::VirtualReader reader;
    reader.addCard(vazsim::blankSheet(199));
    std::string path = tempPath("slow.sock");
    auto hid = std::make_unique<vazsim::HidSocketTransport>(reader, path);
    HidHost host(path);
    host.send("I 2 99/");
    for (int i = 0; i < 10; ++i) host.send("I 7/");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    auto t0 = std::chrono::steady_clock::now();
    hid.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(5));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(HidSocketTransport, RefusesToReplaceAFileThatIsNoSocket) {
    vazsim::VirtualReader reader;
    std::string path = tempPath("plain");
    { std::ofstream(path) << "keep me"; }
    EXPECT_THROW(vazsim::HidSocketTransport(reader, path), std::invalid_argument);
    EXPECT_TRUE(std::filesystem::is_regular_file(path));
}

TEST(Trace, RecordsBothDirectionsWithReportBoundaries) {
    Rig rig;
    {
        SerialHost serial(rig.pty->path());
        EXPECT_EQ(serial.exchange("ONLINE/", 4), "ENEN");
    }
    HidHost hid(rig.hid->path());
    hid.send("N/");
    ASSERT_EQ(hid.receivePayloads(2).size(), 2u);
    EXPECT_EQ(rig.reader.serialBytes(Direction::HostToReader), "ONLINE/");
    EXPECT_EQ(rig.reader.serialBytes(Direction::ReaderToHost), "ENEN");
    std::vector<vazsim::TraceEntry> t = rig.reader.trace();
    ASSERT_EQ(t.size(), 6u);  // serial: command, two statuses; HID: command, counter, status
    EXPECT_EQ(t[1].bytes, "EN");
    EXPECT_EQ(t[2].bytes, "EN");
    std::vector<std::string> out = rig.reader.hidReports(Direction::ReaderToHost);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], std::string("\0\x10\x27\0\0", 5) + std::string(60, '\0'));
    EXPECT_EQ(vazsim::formatTraceEntry(t[3]), "hid    host>reader   65: 00 4E 2F +62 zero bytes  |.N/|");
    rig.reader.clearTrace();
    EXPECT_TRUE(rig.reader.trace().empty());
    EXPECT_TRUE(rig.reader.commands().empty());
}

TEST(VazsimProgram, ServesBothLinksAndCleansUpOnSignal) {
    std::string link = tempPath("prog-tty"), sock = tempPath("prog.sock");
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        execl(VAZSIM_PROGRAM, "vazsim", "--pty", link.c_str(), "--hid", sock.c_str(), "--model", "V8KTM 2.0",
              "--counter", "65536", static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int i = 0; i < 100 && !(std::filesystem::exists(link) && std::filesystem::exists(sock)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    {
        SerialHost serial(link);
        EXPECT_EQ(serial.exchange("v/", 14), "V8KTM 2.0/\r\nEN");
        HidHost hid(sock);
        hid.send("N/");
        std::vector<std::string> p = hid.receivePayloads(1);
        ASSERT_EQ(p.size(), 1u);
        EXPECT_EQ(p[0].substr(0, 4), std::string("\0\0\x01\0", 4));
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
    EXPECT_FALSE(std::filesystem::exists(sock));
}

TEST(VazsimProgram, RejectsBadArguments) {
    auto run = [](std::vector<const char*> args) {
        pid_t pid = fork();
        if (pid == 0) {
            int null = open("/dev/null", O_WRONLY);
            dup2(null, 2);
            dup2(null, 1);
            args.insert(args.begin(), "vazsim");
            args.push_back(nullptr);
            execv(VAZSIM_PROGRAM, const_cast<char* const*>(args.data()));
            _exit(127);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(run({"--counter", "ten", "--hid", "/tmp/x"}), 2);
    EXPECT_EQ(run({"--bogus"}), 2);
    std::string bad = tempPath("bad.ini");
    { std::ofstream(bad) << "[sheet]\nsync = 500\n"; }
    EXPECT_EQ(run({"--hid", "/tmp/never-used.sock", "--deck", bad.c_str()}), 1);
}

// Hot-plug of virtual HID devices: their socket paths appearing and going.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <string>

#include "vazplatform/hid_watch.h"

namespace {

// A listening SOCK_SEQPACKET socket at a path, as a virtual reader binds it.
class Socket {
public:
    explicit Socket(const std::string& path) : path_(path) {
        fd_ = socket(AF_UNIX, SOCK_SEQPACKET, 0);
        sockaddr_un a{};
        a.sun_family = AF_UNIX;
        std::strncpy(a.sun_path, path.c_str(), sizeof a.sun_path - 1);
        if (bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(fd_, 1) != 0)
            ADD_FAILURE() << "cannot listen on " << path;
    }
    ~Socket() {
        close(fd_);
        unlink(path_.c_str());
    }

private:
    std::string path_;
    int fd_ = -1;
};

class Events {
public:
    vazplat::HidWatcher::Handler Handler() {
        return [this](const vazplat::HidChangeEvent& e) {
            std::lock_guard lock(mutex_);
            events_.push_back(e);
            changed_.notify_all();
        };
    }
    // The next event; nothing when none came within the bound.
    std::optional<vazplat::HidChangeEvent> Next() {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, std::chrono::seconds(5), [&] { return !events_.empty(); }))
            return std::nullopt;
        vazplat::HidChangeEvent e = events_.front();
        events_.pop_front();
        return e;
    }
    size_t Pending() {
        std::lock_guard lock(mutex_);
        return events_.size();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<vazplat::HidChangeEvent> events_;
};

class HidWatch : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/hidwatchXXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        path_ = dir_ + "/reader.sock";
        const std::string devices = path_ + ",product=VAZ Reader";
        setenv("VAZ_HID_DEVICES", devices.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("VAZ_HID_DEVICES");
        rmdir(dir_.c_str());
    }
    std::unique_ptr<vazplat::HidWatcher> StartWatcher() {
        int err = 0;
        auto w = vazplat::HidWatcher::Start(events_.Handler(), {0x6816, 0x2001, 0x0100}, &err);
        EXPECT_NE(w, nullptr) << std::strerror(err);
        return w;
    }

    std::string dir_, path_;
    Events events_;
};

TEST_F(HidWatch, SocketPathAppearingIsAnArrivalOfThatEntry) {
    auto watcher = StartWatcher();
    Socket reader(path_);
    std::optional<vazplat::HidChangeEvent> e = events_.Next();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->change, vazplat::HidChange::Arrived);
    EXPECT_EQ(e->device.kind, vazplat::HidKind::Virtual);
    EXPECT_EQ(e->device.path, path_);
    EXPECT_EQ(e->device.productText, "VAZ Reader");
    EXPECT_EQ(e->device.attributes.product, 0x2001);
}

TEST_F(HidWatch, UnplugAndReplugAreSeenInOrder) {
    auto reader = std::make_unique<Socket>(path_);
    auto watcher = StartWatcher();
    reader.reset();  // closed and removed
    std::optional<vazplat::HidChangeEvent> gone = events_.Next();
    ASSERT_TRUE(gone);
    EXPECT_EQ(gone->change, vazplat::HidChange::Removed);
    EXPECT_EQ(gone->device.path, path_);
    reader = std::make_unique<Socket>(path_);
    std::optional<vazplat::HidChangeEvent> back = events_.Next();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->change, vazplat::HidChange::Arrived);
    EXPECT_EQ(back->device.path, path_);
}

TEST_F(HidWatch, OtherFilesInTheFolderAreNoDevices) {
    auto watcher = StartWatcher();
    { Socket other(dir_ + "/other.sock"); }
    Socket reader(path_);  // the one event that must come, after the other socket's
    std::optional<vazplat::HidChangeEvent> e = events_.Next();
    ASSERT_TRUE(e);
    EXPECT_EQ(e->device.path, path_);
    EXPECT_EQ(events_.Pending(), 0u);
}

}  // namespace

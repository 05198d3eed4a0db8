// HidWatcher: one thread polling the udev monitor, an inotify descriptor on
// the virtual devices' folders and a wake-up descriptor that stops it.
#include "vazplatform/hid_watch.h"

#include <errno.h>
#include <libudev.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <thread>
#include <vector>

namespace vazplat {

namespace {

// A watched virtual device: the entry, and its name within the watched folder.
struct VirtualEntry {
    HidDeviceInfo device;
    std::string name;
};

void SplitPath(const std::string& path, std::string* folder, std::string* name) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        *folder = ".";
        *name = path;
    } else {
        *folder = slash == 0 ? "/" : path.substr(0, slash);
        *name = path.substr(slash + 1);
    }
}

}  // namespace

struct HidWatcher::Impl {
    Handler handler;
    int wake = -1;
    int inotify = -1;
    udev* u = nullptr;
    udev_monitor* monitor = nullptr;
    std::map<int, std::vector<VirtualEntry>> byWatch;  // inotify watch -> its folder's entries
    std::thread thread;

    ~Impl() {
        if (monitor) udev_monitor_unref(monitor);
        if (u) udev_unref(u);
        if (inotify >= 0) ::close(inotify);
        if (wake >= 0) ::close(wake);
    }

    bool OpenMonitor() {
        u = udev_new();
        if (!u) return false;
        monitor = udev_monitor_new_from_netlink(u, "udev");
        if (!monitor || udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) < 0 ||
            udev_monitor_enable_receiving(monitor) < 0) {
            if (monitor) udev_monitor_unref(monitor);
            monitor = nullptr;
            return false;
        }
        return true;
    }

    bool WatchVirtual(const std::vector<HidDeviceInfo>& devices) {
        if (devices.empty()) return false;
        inotify = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (inotify < 0) return false;
        bool any = false;
        for (const HidDeviceInfo& d : devices) {
            std::string folder, name;
            SplitPath(d.path, &folder, &name);
            const int wd = inotify_add_watch(inotify, folder.c_str(),
                                             IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF);
            if (wd < 0) continue;  // a folder that does not exist (yet) cannot be watched
            byWatch[wd].push_back({d, name});
            any = true;
        }
        return any;
    }

    void Run() {
        for (;;) {
            pollfd fds[3] = {{wake, POLLIN, 0},
                             {monitor ? udev_monitor_get_fd(monitor) : -1, POLLIN, 0},
                             {inotify, POLLIN, 0}};
            if (::poll(fds, 3, -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (fds[0].revents) return;
            if (fds[1].revents & POLLIN) TakeUdevEvent();
            if (fds[2].revents & POLLIN) TakeInotifyEvents();
        }
    }

    void TakeUdevEvent() {
        udev_device* dev = udev_monitor_receive_device(monitor);
        if (!dev) return;
        const char* action = udev_device_get_action(dev);
        const char* node = udev_device_get_devnode(dev);
        if (action && node) {
            HidChangeEvent e;
            e.device.kind = HidKind::Hidraw;
            e.device.path = node;
            bool known = true;
            if (std::strcmp(action, "add") == 0)
                e.change = HidChange::Arrived;
            else if (std::strcmp(action, "remove") == 0)
                e.change = HidChange::Removed;
            else
                known = false;
            if (known) {
                // The ids of an arrival, as discovery reports them; a removed node tells none.
                if (e.change == HidChange::Arrived)
                    for (const HidDeviceInfo& n : HidrawNodes())
                        if (n.path == e.device.path) e.device = n;
                handler(e);
            }
        }
        udev_device_unref(dev);
    }

    void TakeInotifyEvents() {
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(inotify, buffer, sizeof buffer);
            if (n <= 0) return;  // EAGAIN: all taken
            for (ssize_t at = 0; at < n;) {
                const auto* ev = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + ev->len);
                auto it = byWatch.find(ev->wd);
                if (it == byWatch.end()) continue;
                if (ev->mask & (IN_DELETE_SELF | IN_IGNORED)) {
                    // The folder itself went: so did every socket in it.
                    for (const VirtualEntry& v : it->second) handler({HidChange::Removed, v.device});
                    byWatch.erase(it);
                    continue;
                }
                if (ev->len == 0) continue;
                const bool arrived = ev->mask & (IN_CREATE | IN_MOVED_TO);
                for (const VirtualEntry& v : it->second)
                    if (v.name == ev->name) handler({arrived ? HidChange::Arrived : HidChange::Removed, v.device});
            }
        }
    }
};

std::unique_ptr<HidWatcher> HidWatcher::Start(Handler handler, const HidAttributes& virtualDefaults, int* err) {
    auto impl = std::make_unique<Impl>();
    impl->handler = std::move(handler);
    impl->wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (impl->wake < 0) {
        if (err) *err = errno;
        return nullptr;
    }
    const bool udevOk = impl->OpenMonitor();
    const bool virtualOk = impl->WatchVirtual(VirtualHidDevicesFromEnvironment(virtualDefaults));
    if (!udevOk && !virtualOk) {
        if (err) *err = errno ? errno : ENODEV;
        return nullptr;
    }
    Impl* raw = impl.get();
    raw->thread = std::thread([raw] { raw->Run(); });
    return std::unique_ptr<HidWatcher>(new HidWatcher(std::move(impl)));
}

HidWatcher::HidWatcher(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

HidWatcher::~HidWatcher() {
    const uint64_t one = 1;
    if (::write(impl_->wake, &one, sizeof one) < 0) {
        // an eventfd with room cannot refuse; the thread is joined either way
    }
    impl_->thread.join();
}

}  // namespace vazplat

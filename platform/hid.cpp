#include "vazplatform/hid.h"

#include <errno.h>
#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vazplat {

namespace {

bool IsGoneError(int e) {
    return e == ECONNRESET || e == EPIPE || e == EIO || e == ENODEV || e == ENOTCONN || e == ESHUTDOWN ||
           e == ENXIO;
}

std::string Trim(std::string s) {
    size_t b = s.find_first_not_of(" \t");
    size_t e = s.find_last_not_of(" \t");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

bool ParseHex16(const std::string& text, uint16_t* out) {
    if (text.empty() || text.size() > 4) return false;
    char* end = nullptr;
    unsigned long v = strtoul(text.c_str(), &end, 16);
    if (*end != 0) return false;
    *out = static_cast<uint16_t>(v);
    return true;
}

// Longest input and output report (bits) of a report descriptor, per report ID.
struct DescriptorSummary {
    int inputBytes = 0;
    int outputBytes = 0;
    bool numbered = false;
};

DescriptorSummary ParseReportDescriptor(const unsigned char* d, int size) {
    DescriptorSummary s;
    uint32_t reportSize = 0, reportCount = 0;
    int currentId = 0;
    // bits per (id, direction)
    std::vector<std::pair<int, long>> in, out;
    auto add = [](std::vector<std::pair<int, long>>& v, int id, long bits) {
        for (auto& p : v)
            if (p.first == id) {
                p.second += bits;
                return;
            }
        v.push_back({id, bits});
    };
    int i = 0;
    while (i < size) {
        unsigned char prefix = d[i];
        if (prefix == 0xFE) {  // long item
            if (i + 1 >= size) break;
            i += 3 + d[i + 1];
            continue;
        }
        int len = prefix & 3;
        if (len == 3) len = 4;
        if (i + 1 + len > size) break;
        uint32_t value = 0;
        for (int k = 0; k < len; ++k) value |= static_cast<uint32_t>(d[i + 1 + k]) << (8 * k);
        switch (prefix & 0xFC) {
            case 0x74: reportSize = value; break;   // Report Size
            case 0x94: reportCount = value; break;  // Report Count
            case 0x84:                              // Report ID
                currentId = static_cast<int>(value);
                s.numbered = true;
                break;
            case 0x80: add(in, currentId, static_cast<long>(reportSize) * reportCount); break;   // Input
            case 0x90: add(out, currentId, static_cast<long>(reportSize) * reportCount); break;  // Output
            default: break;
        }
        i += 1 + len;
    }
    for (auto& p : in) s.inputBytes = std::max(s.inputBytes, static_cast<int>((p.second + 7) / 8));
    for (auto& p : out) s.outputBytes = std::max(s.outputBytes, static_cast<int>((p.second + 7) / 8));
    return s;
}

// Waits for `events` on fd within timeoutMs. Done: ready (revents set);
// Timeout; Error (errno in *error).
HidIo WaitFor(int fd, short events, int timeoutMs, short* revents, int* error) {
    pollfd p{fd, events, 0};
    int r;
    do r = ::poll(&p, 1, timeoutMs);
    while (r < 0 && errno == EINTR);
    if (r == 0) return HidIo::Timeout;
    if (r < 0) {
        if (error) *error = errno;
        return HidIo::Error;
    }
    *revents = p.revents;
    return HidIo::Done;
}

// The result of a failed read, recv, write or send.
HidIo TransferError(int e, int* error) {
    if (IsGoneError(e)) return HidIo::Gone;
    if (e == EAGAIN) return HidIo::Timeout;
    if (error) *error = e;
    return HidIo::Error;
}

}  // namespace

std::vector<VirtualHidEntry> ParseVirtualHidDevices(const char* text) {
    std::vector<VirtualHidEntry> result;
    if (!text) return result;
    std::string all = text;
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find(';', start);
        if (end == std::string::npos) end = all.size();
        std::string entry = all.substr(start, end - start);
        start = end + 1;
        // fields separated by ","; the first is the path
        std::vector<std::string> fields;
        size_t fs = 0;
        while (fs <= entry.size()) {
            size_t fe = entry.find(',', fs);
            if (fe == std::string::npos) fe = entry.size();
            fields.push_back(entry.substr(fs, fe - fs));
            fs = fe + 1;
        }
        VirtualHidEntry e;
        e.path = Trim(fields[0]);
        if (e.path.empty()) continue;
        for (size_t k = 1; k < fields.size(); ++k) {
            std::string f = fields[k];
            size_t eq = f.find('=');
            if (eq == std::string::npos) continue;
            std::string key = Trim(f.substr(0, eq)), value = Trim(f.substr(eq + 1));
            if (key == "vid") ParseHex16(value, &e.attributes.vendor);
            else if (key == "pid") ParseHex16(value, &e.attributes.product);
            else if (key == "release") ParseHex16(value, &e.attributes.release);
            else if (key == "product") e.productText = value;
        }
        result.push_back(e);
        if (end == all.size()) break;
    }
    return result;
}

std::vector<VirtualHidEntry> VirtualHidDevicesFromEnvironment() {
    return ParseVirtualHidDevices(getenv("VAZ_HID_DEVICES"));
}

std::vector<HidrawNode> HidrawNodes() {
    std::vector<HidrawNode> nodes;
    udev* u = udev_new();
    if (!u) return nodes;
    udev_enumerate* en = udev_enumerate_new(u);
    if (en) {
        udev_enumerate_add_match_subsystem(en, "hidraw");
        udev_enumerate_scan_devices(en);
        udev_list_entry* entry;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(en)) {
            udev_device* dev = udev_device_new_from_syspath(u, udev_list_entry_get_name(entry));
            if (!dev) continue;
            if (const char* node = udev_device_get_devnode(dev)) {
                HidrawNode n{node};
                // HID_ID of the parent HID device: "BUS:VVVVVVVV:PPPPPPPP"
                udev_device* hid = udev_device_get_parent_with_subsystem_devtype(dev, "hid", nullptr);
                const char* id = hid ? udev_device_get_property_value(hid, "HID_ID") : nullptr;
                unsigned bus = 0, vendor = 0, product = 0;
                if (id && sscanf(id, "%x:%x:%x", &bus, &vendor, &product) == 3) {
                    n.vendor = static_cast<uint16_t>(vendor);
                    n.product = static_cast<uint16_t>(product);
                }
                nodes.push_back(n);
            }
            udev_device_unref(dev);
        }
        udev_enumerate_unref(en);
    }
    udev_unref(u);
    // stable order: hidraw2 before hidraw10
    std::sort(nodes.begin(), nodes.end(), [](const HidrawNode& a, const HidrawNode& b) {
        return a.path.size() != b.path.size() ? a.path.size() < b.path.size() : a.path < b.path;
    });
    return nodes;
}

HidHandle::~HidHandle() { Close(); }

void HidHandle::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

std::unique_ptr<HidHandle> HidHandle::OpenHidraw(const std::string& path, int* err) {
    int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (err) *err = errno;
        return nullptr;
    }
    std::unique_ptr<HidHandle> h(new HidHandle);
    h->fd_ = fd;
    h->path_ = path;
    return h;
}

std::unique_ptr<HidHandle> HidHandle::ConnectVirtual(const VirtualHidEntry& entry, int* err) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (entry.path.size() >= sizeof addr.sun_path) {
        if (err) *err = ENAMETOOLONG;
        return nullptr;
    }
    memcpy(addr.sun_path, entry.path.c_str(), entry.path.size() + 1);
    int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        if (err) *err = errno;
        return nullptr;
    }
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        if (err) *err = errno;
        ::close(fd);
        return nullptr;
    }
    std::unique_ptr<HidHandle> h(new HidHandle);
    h->fd_ = fd;
    h->virtual_ = true;
    h->numberedReports_ = true;  // every datagram carries the report ID byte
    h->path_ = entry.path;
    h->virtualAttributes_ = entry.attributes;
    return h;
}

bool HidHandle::GetAttributes(HidAttributes* out) const {
    if (virtual_) {
        *out = virtualAttributes_;
        return true;
    }
    if (fd_ < 0) return false;
    hidraw_devinfo info{};
    if (ioctl(fd_, HIDIOCGRAWINFO, &info) != 0) return false;
    out->vendor = static_cast<uint16_t>(info.vendor);
    out->product = static_cast<uint16_t>(info.product);
    out->release = 0;  // hidraw does not tell the release number
    return true;
}

bool HidHandle::GetReportLengths(int* inputLength, int* outputLength) {
    if (virtual_) {
        *inputLength = *outputLength = 65;
        return true;
    }
    if (fd_ < 0) return false;
    int size = 0;
    if (ioctl(fd_, HIDIOCGRDESCSIZE, &size) != 0 || size <= 0) return false;
    hidraw_report_descriptor desc{};
    desc.size = static_cast<uint32_t>(std::min<int>(size, HID_MAX_DESCRIPTOR_SIZE));
    if (ioctl(fd_, HIDIOCGRDESC, &desc) != 0) return false;
    DescriptorSummary s = ParseReportDescriptor(desc.value, static_cast<int>(desc.size));
    numberedReports_ = s.numbered;
    // Windows-style lengths: the report ID byte plus the longest report.
    *inputLength = 1 + s.inputBytes;
    *outputLength = 1 + s.outputBytes;
    return true;
}

HidIo HidHandle::Write(const unsigned char* report, int length, int timeoutMs, int* error) {
    if (fd_ < 0) {
        if (error) *error = EBADF;
        return HidIo::Error;
    }
    short revents = 0;
    HidIo ready = WaitFor(fd_, POLLOUT, timeoutMs, &revents, error);
    if (ready != HidIo::Done) return ready;
    if (revents & (POLLHUP | POLLERR | POLLNVAL)) return HidIo::Gone;
    ssize_t n;
    do n = virtual_ ? ::send(fd_, report, static_cast<size_t>(length), MSG_NOSIGNAL)
                    : ::write(fd_, report, static_cast<size_t>(length));
    while (n < 0 && errno == EINTR);
    if (n < 0) return TransferError(errno, error);
    return HidIo::Done;
}

HidIo HidHandle::Read(unsigned char* report, int length, int timeoutMs, int* count, int* error) {
    *count = 0;
    if (fd_ < 0) {
        if (error) *error = EBADF;
        return HidIo::Error;
    }
    short revents = 0;
    HidIo ready = WaitFor(fd_, POLLIN, timeoutMs, &revents, error);
    if (ready != HidIo::Done) return ready;
    if (!(revents & POLLIN)) return HidIo::Gone;  // hang-up or error without data
    unsigned char* dest = numberedReports_ ? report : report + 1;
    int room = numberedReports_ ? length : length - 1;
    ssize_t n;
    do n = virtual_ ? ::recv(fd_, dest, static_cast<size_t>(room), 0) : ::read(fd_, dest, static_cast<size_t>(room));
    while (n < 0 && errno == EINTR);
    if (n == 0) return HidIo::Gone;  // end of file
    if (n < 0) return TransferError(errno, error);
    if (!numberedReports_) {
        report[0] = 0;
        n += 1;
    }
    *count = static_cast<int>(n);
    return HidIo::Done;
}

}  // namespace vazplat

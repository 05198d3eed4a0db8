// The virtual HID backend: AF_UNIX SOCK_SEQPACKET sockets listed in
// VAZ_HID_DEVICES, every datagram one whole report with its ID byte.
#include <errno.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "hid_backend.h"

namespace vazplat {

namespace {

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

class VirtualBackend : public HidBackend {
public:
    VirtualBackend(int fd, const HidAttributes& attributes) : HidBackend(fd), attributes_(attributes) {}

    bool GetAttributes(HidAttributes* out) const override {
        *out = attributes_;
        return true;
    }
    bool GetReportLengths(int* inputLength, int* outputLength) override {
        *inputLength = *outputLength = 65;
        return true;
    }
    bool ReadsCarryReportId() const override { return true; }
    // A socket closed by the reader raises SIGPIPE on write: MSG_NOSIGNAL.
    ssize_t Transmit(const unsigned char* report, size_t length) override {
        return ::send(fd_, report, length, MSG_NOSIGNAL);
    }
    ssize_t Receive(unsigned char* dest, size_t room) override { return ::recv(fd_, dest, room, 0); }

private:
    HidAttributes attributes_;
};

}  // namespace

std::vector<HidDeviceInfo> ParseVirtualHidDevices(const char* text, const HidAttributes& defaults) {
    std::vector<HidDeviceInfo> result;
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
        HidDeviceInfo e;
        e.kind = HidKind::Virtual;
        e.attributes = defaults;
        e.path = Trim(fields[0]);
        if (e.path.empty()) continue;
        for (size_t k = 1; k < fields.size(); ++k) {
            std::string f = fields[k];
            size_t eq = f.find('=');
            if (eq == std::string::npos) continue;
            std::string key = Trim(f.substr(0, eq)), value = Trim(f.substr(eq + 1));
            if (key == "vid")
                ParseHex16(value, &e.attributes.vendor);
            else if (key == "pid")
                ParseHex16(value, &e.attributes.product);
            else if (key == "release")
                ParseHex16(value, &e.attributes.release);
            else if (key == "product")
                e.productText = value;
        }
        result.push_back(e);
        if (end == all.size()) break;
    }
    return result;
}

std::vector<HidDeviceInfo> VirtualHidDevicesFromEnvironment(const HidAttributes& defaults) {
    return ParseVirtualHidDevices(getenv("VAZ_HID_DEVICES"), defaults);
}

std::unique_ptr<HidBackend> OpenVirtualBackend(const HidDeviceInfo& device, int* err) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (device.path.size() >= sizeof addr.sun_path) {
        if (err) *err = ENAMETOOLONG;
        return nullptr;
    }
    memcpy(addr.sun_path, device.path.c_str(), device.path.size() + 1);
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
    return std::make_unique<VirtualBackend>(fd, device.attributes);
}

}  // namespace vazplat

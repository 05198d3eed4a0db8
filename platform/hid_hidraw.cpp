// The hidraw backend: nodes found through libudev, ids by HIDIOCGRAWINFO,
// report lengths from the report descriptor (HIDIOCGRDESC).
#include <errno.h>
#include <fcntl.h>
#include <libudev.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "hid_backend.h"

namespace vazplat {

DescriptorSummary ParseReportDescriptor(const unsigned char* d, int size) {
    DescriptorSummary s;
    uint32_t reportSize = 0, reportCount = 0;
    int currentId = 0;
    // Bits per (id, direction). Size and count come from the device as
    // 32-bit values: the sums saturate at the longest report the kernel
    // passes, so a hostile descriptor cannot overflow them.
    static constexpr uint64_t kMaxReportBits = 8 * 16384;
    std::vector<std::pair<int, uint64_t>> in, out;
    auto add = [](std::vector<std::pair<int, uint64_t>>& v, int id, uint64_t bits) {
        bits = std::min(bits, kMaxReportBits);
        for (auto& p : v)
            if (p.first == id) {
                p.second = std::min(p.second + bits, kMaxReportBits);
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
            case 0x74:  // Report Size
                reportSize = value;
                break;
            case 0x94:  // Report Count
                reportCount = value;
                break;
            case 0x84:  // Report ID
                currentId = static_cast<int>(value);
                s.numbered = true;
                break;
            case 0x80:  // Input
                add(in, currentId, uint64_t{reportSize} * reportCount);
                break;
            case 0x90:  // Output
                add(out, currentId, uint64_t{reportSize} * reportCount);
                break;
            default:
                break;
        }
        i += 1 + len;
    }
    for (auto& p : in) s.inputBytes = std::max(s.inputBytes, static_cast<int>((p.second + 7) / 8));
    for (auto& p : out) s.outputBytes = std::max(s.outputBytes, static_cast<int>((p.second + 7) / 8));
    return s;
}

namespace {

class HidrawBackend : public HidBackend {
public:
    using HidBackend::HidBackend;

    bool GetAttributes(HidAttributes* out) const override {
        if (fd_ < 0) return false;
        hidraw_devinfo info{};
        if (ioctl(fd_, HIDIOCGRAWINFO, &info) != 0) return false;
        out->vendor = static_cast<uint16_t>(info.vendor);
        out->product = static_cast<uint16_t>(info.product);
        out->release = 0;  // hidraw does not tell the release number
        return true;
    }

    bool GetReportLengths(int* inputLength, int* outputLength) override {
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

    // A device without report IDs reads its reports without the ID byte.
    bool ReadsCarryReportId() const override { return numberedReports_; }

    ssize_t Transmit(const unsigned char* report, size_t length) override {
        return ::write(fd_, report, length);
    }
    ssize_t Receive(unsigned char* dest, size_t room) override { return ::read(fd_, dest, room); }

private:
    bool numberedReports_ = false;
};

}  // namespace

std::unique_ptr<HidBackend> OpenHidrawBackend(const std::string& path, int* err) {
    int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (err) *err = errno;
        return nullptr;
    }
    return std::make_unique<HidrawBackend>(fd);
}

std::vector<HidDeviceInfo> HidrawNodes() {
    std::vector<HidDeviceInfo> nodes;
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
                HidDeviceInfo n;
                n.kind = HidKind::Hidraw;
                n.path = node;
                // HID_ID of the parent HID device: "BUS:VVVVVVVV:PPPPPPPP"
                udev_device* hid = udev_device_get_parent_with_subsystem_devtype(dev, "hid", nullptr);
                const char* id = hid ? udev_device_get_property_value(hid, "HID_ID") : nullptr;
                unsigned bus = 0, vendor = 0, product = 0;
                if (id && sscanf(id, "%x:%x:%x", &bus, &vendor, &product) == 3) {
                    n.attributes.vendor = static_cast<uint16_t>(vendor);
                    n.attributes.product = static_cast<uint16_t>(product);
                }
                // The USB device's product string and release number; a HID device on
                // another bus has only its name.
                udev_device* usb = udev_device_get_parent_with_subsystem_devtype(dev, "usb", "usb_device");
                const char* text = usb ? udev_device_get_sysattr_value(usb, "product") : nullptr;
                if (!text && hid) text = udev_device_get_property_value(hid, "HID_NAME");
                if (text) n.productText = text;
                const char* release = usb ? udev_device_get_sysattr_value(usb, "bcdDevice") : nullptr;
                if (release) n.attributes.release = static_cast<uint16_t>(strtoul(release, nullptr, 16));
                nodes.push_back(n);
            }
            udev_device_unref(dev);
        }
        udev_enumerate_unref(en);
    }
    udev_unref(u);
    // stable order: hidraw2 before hidraw10
    std::sort(nodes.begin(), nodes.end(), [](const HidDeviceInfo& a, const HidDeviceInfo& b) {
        return a.path.size() != b.path.size() ? a.path.size() < b.path.size() : a.path < b.path;
    });
    return nodes;
}

}  // namespace vazplat

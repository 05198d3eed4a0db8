#include "firmware_rig.h"

#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <thread>

#include "test_support.h"
#include "version_commands.h"

namespace fwtest {

std::string TempPath(const std::string& name) {
    return simtest::tempPath(name);
}

std::string WriteFile(const std::string& name, const std::string& bytes) {
    const std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::string RandomBytes(size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(gen() & 0xFF);
    return s;
}

bool HoldsFile(const std::string& path) {
    const auto target = std::filesystem::canonical(path);
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        if (std::filesystem::read_symlink(fd.path(), ec) == target) return true;
    }
    return false;
}

Rig::Rig() {
    const std::string socket = TempPath("hid.sock");
    transport = std::make_unique<vazsim::HidSocketTransport>(reader, socket);
    // Another HID device first: discovery must pass it over.
    const std::string devices = TempPath("other.sock") + ",pid=2002;" + socket + ",product=VAZ Reader";
    setenv("VAZ_HID_DEVICES", devices.c_str(), 1);
    std::vector<firmware::HidDeviceInfo> readers = firmware::FindReaders();
    if (readers.size() != 1 || readers[0].path != socket)
        throw std::runtime_error("the virtual reader is not found");
    int error = 0;
    link = firmware::UsbLink::Open(readers[0], &error);
    if (!link) throw std::runtime_error("cannot open the virtual reader");
}

void Rig::EnterUpdateMode() {
    link->ClearReplies();
    if (firmware::SendConsoleCommand(link.get(), u"IAP/") != firmware::CommandResult::Done ||
        link->NextReply(2000) != "C")
        throw std::runtime_error("the reader did not answer \"IAP/\" with \"C\"");
    reader.clearTrace();
}

std::vector<std::string> Rig::SentPayloads() const {
    std::vector<std::string> out;
    for (const std::string& d : reader.hidReports(vazsim::Direction::HostToReader))
        out.push_back(d.substr(1));
    return out;
}

std::optional<std::string> Rig::WaitForImage() const {
    for (int i = 0; i < 200; ++i) {
        if (std::optional<std::string> image = reader.firmwareImage()) return image;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::nullopt;
}

firmware::TransferCallbacks Progress::Callbacks() {
    firmware::TransferCallbacks c;
    c.range = [this](int m) {
        std::lock_guard lock(mutex);
        maximum = m;
    };
    c.position = [this](int p) {
        std::lock_guard lock(mutex);
        positions.push_back(p);
    };
    c.console = [this](const std::string& t) {
        std::lock_guard lock(mutex);
        console.push_back(t);
    };
    return c;
}

std::vector<int> Progress::Positions() const {
    std::lock_guard lock(mutex);
    return positions;
}

std::string HeaderPayload(int block) {
    std::string p(64, '\0');
    p[0] = 0x02;
    p[1] = static_cast<char>(block & 0xFF);
    p[2] = static_cast<char>(~block & 0xFF);
    return p;
}

}  // namespace fwtest

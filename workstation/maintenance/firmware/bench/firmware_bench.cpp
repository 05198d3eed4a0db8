// firmware-bench: a 256 KiB image to the in-process virtual reader over its
// HID socket, through the same link and transfer the update dialog uses.
//
// The virtual reader answers at once, so the bench paces the link itself: a
// relay between the host and the reader's socket passes every report, in
// either direction, in its own 1 ms slot, as a USB full-speed link with one
// 64-byte report per millisecond would. The least time the transfer needs is
// then one millisecond per report and reply (every report waits for the
// answer to the one before it); the figure to watch is measured / least
// (target: within 1.2). The same image is also sent without pacing.
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>

#include "firmware_transfer.h"
#include "usb_link.h"
#include "vazsim/transports.h"
#include "vazsim/virtual_reader.h"
#include "version_commands.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kImageSize = 256 * 1024;
constexpr auto kSlot = std::chrono::milliseconds(1);

int Listen(const std::string& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 1) != 0)
        throw std::runtime_error("listen " + path + ": " + std::strerror(errno));
    return fd;
}

int Connect(const std::string& path) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    int fd = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        throw std::runtime_error("connect " + path + ": " + std::strerror(errno));
    return fd;
}

// Stands between the host and the reader's socket and lets one report per
// slot through, whichever way it goes.
class PacedRelay {
public:
    PacedRelay(const std::string& readerSocket, const std::string& hostSocket)
        : listener_(Listen(hostSocket)), readerSocket_(readerSocket), stop_(eventfd(0, EFD_CLOEXEC)) {
        thread_ = std::thread([this] { Serve(); });
    }
    ~PacedRelay() {
        uint64_t one = 1;
        [[maybe_unused]] ssize_t n = write(stop_, &one, sizeof one);
        thread_.join();
        for (int fd : {listener_, host_, reader_, stop_})
            if (fd >= 0) close(fd);
    }

private:
    void Serve() {
        pollfd first[2] = {{listener_, POLLIN, 0}, {stop_, POLLIN, 0}};
        if (poll(first, 2, -1) <= 0 || first[1].revents) return;
        host_ = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        reader_ = Connect(readerSocket_);
        Clock::time_point next = Clock::now();
        char buf[512];
        for (;;) {
            pollfd fds[3] = {{host_, POLLIN, 0}, {reader_, POLLIN, 0}, {stop_, POLLIN, 0}};
            if (poll(fds, 3, -1) < 0) {
                if (errno == EINTR) continue;
                return;
            }
            if (fds[2].revents) return;
            for (int side = 0; side < 2; ++side) {
                if (!fds[side].revents) continue;
                ssize_t n = recv(fds[side].fd, buf, sizeof buf, 0);
                if (n <= 0) return;
                // The report goes in the next free slot; the slots do not drift with the wake-ups.
                const Clock::time_point at = std::max(Clock::now(), next);
                std::this_thread::sleep_until(at);
                send(fds[1 - side].fd, buf, static_cast<size_t>(n), MSG_NOSIGNAL);
                next = at + kSlot;
            }
        }
    }

    int listener_;
    std::string readerSocket_;
    int stop_;
    int host_ = -1;
    int reader_ = -1;
    std::thread thread_;
};

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

struct Figures {
    firmware::TransferResult result;
    double seconds;
    double cpuSeconds;
    size_t reportsOut;
    size_t reportsIn;
    bool intact;  // the reader stored exactly the image
};

std::string WriteImage(const std::filesystem::path& path, unsigned seed) {
    std::string image(kImageSize, '\0');
    std::mt19937 gen(seed);
    for (char& c : image) c = static_cast<char>(gen() & 0xFF);
    std::ofstream(path, std::ios::binary) << image;
    return image;
}

// Whether the reader stored `image` (it does so on the 0x04, which the host does not wait for).
bool Arrived(const vazsim::VirtualReader& reader, const std::string& image) {
    for (int i = 0; i < 200; ++i) {
        if (reader.firmwareImage() == image) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

Figures SendImage(vazsim::VirtualReader& reader, const std::string& socket, const std::string& path,
                  const std::string& image) {
    int error = 0;
    firmware::HidDeviceInfo device{socket, true, firmware::kReaderVendor, firmware::kReaderProduct, 0, ""};
    std::unique_ptr<firmware::UsbLink> link = firmware::UsbLink::Open(device, &error);
    if (!link) throw std::runtime_error("cannot open " + socket + ": " + std::strerror(error));
    link->ClearReplies();
    if (firmware::SendConsoleCommand(link.get(), u"IAP/") != firmware::CommandResult::Done ||
        link->NextReply(2000) != "C")
        throw std::runtime_error("the reader did not enter its update mode");
    reader.clearTrace();
    firmware::FirmwareTransfer transfer(*link);
    const double cpu0 = CpuSeconds();
    const Clock::time_point t0 = Clock::now();
    Figures f{};
    f.result = transfer.Run(path);
    f.seconds = std::chrono::duration<double>(Clock::now() - t0).count();
    f.cpuSeconds = CpuSeconds() - cpu0;
    // Counted once the reader has the image, so that the 0x04 and its ACK are in.
    f.intact = Arrived(reader, image);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    f.reportsOut = reader.hidReports(vazsim::Direction::HostToReader).size();
    f.reportsIn = reader.hidReports(vazsim::Direction::ReaderToHost).size();
    return f;
}

}  // namespace

int main() {
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("firmware-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string rawImage = WriteImage(dir / "raw.bin", 1),
                      pacedImage = WriteImage(dir / "paced.bin", 2);

    int status = 0;
    try {
        vazsim::VirtualReader reader;
        vazsim::HidSocketTransport transport(reader, (dir / "reader.sock").string());
        std::printf("firmware-bench: %zu KiB image, %zu packets of 1024 bytes\n", kImageSize / 1024,
                    kImageSize / 1024);

        const Figures raw = SendImage(reader, transport.path(), (dir / "raw.bin").string(), rawImage);
        std::printf("  unpaced socket     : %8.3f s  %6.0f reports/s  host+reader CPU %.3f s  %s\n",
                    raw.seconds, static_cast<double>(raw.reportsOut + raw.reportsIn) / raw.seconds,
                    raw.cpuSeconds,
                    raw.result == firmware::TransferResult::Completed ? "completed" : "FAILED");

        PacedRelay relay(transport.path(), (dir / "paced.sock").string());
        const Figures paced =
            SendImage(reader, (dir / "paced.sock").string(), (dir / "paced.bin").string(), pacedImage);
        // Run() ends once the 0x04 is written: until then every packet's 18 reports and their 18
        // answers have crossed the link one after the other.
        const size_t packets = kImageSize / 1024;
        const double least = static_cast<double>(packets * 36) * 1e-3;
        std::printf("  USB full speed     : %zu packets x (18 reports + 18 replies) = %.3f s least time\n",
                    packets, least);
        std::printf("  counted at reader  : %zu reports out, %zu replies (with the 0x04 and its ACK)\n",
                    paced.reportsOut, paced.reportsIn);
        std::printf("  paced transfer     : %8.3f s  least %.3f s  ratio %.3f (target <= 1.200)  %s\n",
                    paced.seconds, least, paced.seconds / least,
                    paced.result == firmware::TransferResult::Completed ? "completed" : "FAILED");
        const bool intact = raw.intact && paced.intact;
        std::printf("  images at the reader: %s\n", intact ? "byte-identical" : "DIFFER");
        if (raw.result != firmware::TransferResult::Completed ||
            paced.result != firmware::TransferResult::Completed || !intact)
            status = 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "firmware-bench: %s\n", e.what());
        status = 1;
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return status;
}

// Format download (behind VazS "S path/" and "s path/"): the file is read
// whole once, parsed into commands (format_parser.h) and sent line by line,
// each command answered by a status; "EN/" closes the download.
#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>

#include "format_parser.h"
#include "vaz_device.h"
#include "vazplatform/codepage.h"

namespace {

// Reads the whole file; false with errno's value in `err` when it cannot be
// opened or read (a directory fails here too).
bool ReadWholeFile(const std::string& path, std::string& bytes, int& err) {
    errno = 0;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        err = errno;
        return false;
    }
    char chunk[65536];
    std::size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, n);
    const bool failed = std::ferror(f) != 0;
    err = failed ? errno : 0;
    std::fclose(f);
    return !failed;
}

bool HasNonAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80) return true;
    return false;
}

// Hosts pass code page 936 paths; the file system here names files in the
// locale's character set, so a path that does not open as given is tried
// converted.
bool ReadFormatFile(const std::string& path, std::string& bytes, int& err) {
    if (ReadWholeFile(path, bytes, err)) return true;
    if (err != ENOENT || !HasNonAscii(path)) return false;
    int err2 = 0;
    bytes.clear();
    return ReadWholeFile(vazplat::Cp936ToLocale(path), bytes, err2);
}

void ShowRejected(const std::string& command) {
    // A refused overlong command is shown by its beginning only.
    constexpr std::size_t kShown = 80;
    std::string shown = command.size() > kShown ? command.substr(0, kShown) + "..." : command;
    const std::string_view format = vazstr::kFormatCmdError;
    const std::size_t at = format.find("%s");
    const std::string text = std::string(format.substr(0, at)) + shown + std::string(format.substr(at + 2));
    vazhost::FrameworkMessageBox(text.c_str());
}

}  // namespace

bool CVazDevice::FormatDownload(const std::string& path) {
    tLine = false;
    std::string file;
    int err = 0;
    if (!ReadFormatFile(path, file, err)) {
        const std::string reason = err != 0 ? vazplat::SystemErrorText(err) : std::string();
        vazhost::FrameworkMessageBox(reason.empty() ? vazstr::kNoErrorText : reason.c_str());
        vazhost::FrameworkMessageBox((std::string(vazstr::kOpenFormatFailed) + ":" + path).c_str());
        return false;
    }
    if (file.empty()) {
        vazhost::FrameworkMessageBox(vazstr::kFormatFileError);
        return false;
    }
    if (!Exchange(lowerCaseDownload ? "s/" : "S a.txt/")) return false;

    // A line refused here still closes the download with "EN/", so that the
    // reader leaves its download; the format counts as not loaded.
    bool refusedHere = false;
    for (const auto& cmd : vaz::format::Parse(file)) {
        // An "f" line whose "G/" supplement would not fit VazG's buffer next
        // to the longest card data: the card could never be fetched whole.
        const bool supplementTooLarge =
            cmd.kind == vaz::format::Kind::FLine && cmd.p[4] > VAZ_SUPPLEMENT_MAX;
        if (cmd.kind == vaz::format::Kind::Overlong || supplementTooLarge) {
            fLine = false;
            ShowRejected(cmd.text);
            refusedHere = true;
            break;
        }
        switch (cmd.kind) {
            case vaz::format::Kind::FLine:
                fLine = true;
                for (int i = 0; i < 5; ++i) fNumbers[i] = cmd.p[i];
                break;
            case vaz::format::Kind::TLine:
                tLine = true;
                break;
            case vaz::format::Kind::Ordinary:
                fLine = false;
                break;
            default:
                break;
        }
        if (!Exchange(cmd.toSend.data(), static_cast<int>(cmd.toSend.size()))) {
            fLine = false;
            ShowRejected(cmd.toSend);
            break;
        }
    }
    // A reader that fell silent is not kept waiting for once more.
    if (readerSilent) return false;
    return Exchange("EN/") && !refusedHere;
}

// The GoogleTest fixture of the libvaz tests that run on both links: the
// parameter is Sim::kSerial or Sim::kHid; SetUp starts a virtual reader on
// that link, connects (VazInit 2 or 1) and forgets what the connection left
// (trace, boxes); TearDown brings the library back to a known state before
// the reader stops.
//   class MyTest : public vaztest::ConnectedLink {};
//   INSTANTIATE_TEST_SUITE_P(Links, MyTest, vaztest::BothLinks(), vaztest::LinkName);
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "vaz_test_support.h"
#include "vazsim/card_deck.h"

namespace vaztest {

// Writes `content` to a fresh file and returns its path.
inline std::string WriteFile(const std::string& content) {
    static int n = 0;
    const std::string path = TempDir() + "/format" + std::to_string(++n) + ".txt";
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

// A blank sheet whose answer text for any format is `answer`.
inline vazsim::Sheet SheetWith(const std::string& answer, int lines = 73) {
    vazsim::Sheet s = vazsim::blankSheet(lines);
    s.answers = {{"", answer}};
    return s;
}

class ConnectedLink : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        sim_ = std::make_unique<Sim>(GetParam());
        ASSERT_GT(Vaz().VazInit(usb() ? 1 : 2), 0);
        sim_->ClearTrace();
        ClearBoxes();
    }
    void TearDown() override {
        ResetLibrary();
        sim_.reset();
    }
    bool usb() const { return GetParam() == Sim::kHid; }
    vazsim::VirtualReader& reader() { return sim_->reader(); }
    std::vector<std::string> commands() { return reader().commands(); }

    // Downloads a format file holding `content` ("S" or "s" download).
    int Download(const std::string& content, char letter = 'S') {
        const std::string command = std::string(1, letter) + " " + WriteFile(content) + "/";
        return Vaz().VazS(command.c_str());
    }

    std::unique_ptr<Sim> sim_;
};

inline auto BothLinks() {
    return ::testing::Values(int(Sim::kSerial), int(Sim::kHid));
}
inline std::string LinkName(const ::testing::TestParamInfo<int>& info) {
    return info.param == Sim::kHid ? "Usb" : "Serial";
}

}  // namespace vaztest

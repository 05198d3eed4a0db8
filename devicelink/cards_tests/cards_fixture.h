// Shared fixture of the card-reading and test-data tests: one virtual reader
// on the link of the test's parameter, the library connected to it, and
// helpers for format files and sheets.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "vaz_test_support.h"
#include "vazsim/card_deck.h"

namespace cardstest {

using vaztest::Sim;
using vaztest::Vaz;

// Writes `content` to a fresh file and returns its path.
inline std::string WriteFile(const std::string& content) {
    static int n = 0;
    const std::string path = vaztest::TempDir() + "/format" + std::to_string(++n) + ".txt";
    std::ofstream(path, std::ios::binary) << content;
    return path;
}
// A blank sheet whose answer text for any format is `answer`.
inline vazsim::Sheet SheetWith(const std::string& answer, int lines = 73) {
    vazsim::Sheet s = vazsim::blankSheet(lines);
    s.answers = {{"", answer}};
    return s;
}

class CardsTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        sim_ = std::make_unique<Sim>(GetParam());
        ASSERT_GT(Vaz().VazInit(Usb() ? 1 : 2), 0);
        sim_->ClearTrace();
        vaztest::ClearBoxes();
    }
    void TearDown() override {
        vaztest::ResetLibrary();
        sim_.reset();
    }
    bool Usb() const { return GetParam() == Sim::kHid; }
    vazsim::VirtualReader& reader() { return sim_->reader(); }
    std::vector<std::string> commands() { return reader().commands(); }

    // Downloads a format file holding `content` ("S" or "s" download).
    int Download(const std::string& content, char letter = 'S') {
        const std::string command = std::string(1, letter) + " " + WriteFile(content) + "/";
        return Vaz().VazS(command.c_str());
    }
    std::unique_ptr<Sim> sim_;
};

inline std::string LinkName(const ::testing::TestParamInfo<int>& info) {
    return info.param == Sim::kHid ? "Usb" : "Serial";
}

}  // namespace cardstest

#define CARDS_BOTH_LINKS(Suite)                                                                     \
    INSTANTIATE_TEST_SUITE_P(Links, Suite, ::testing::Values(int(cardstest::Sim::kSerial), int(cardstest::Sim::kHid)), \
                             cardstest::LinkName)

// A GoogleTest fixture for tests that run on both links: the parameter is
// Sim::kSerial or Sim::kHid; SetUp starts a virtual reader on that link and
// connects (VazInit 2 or 1), TearDown brings the library back to a known
// state before the reader stops.
//   INSTANTIATE_TEST_SUITE_P(Links, MyTest, vaztest::BothLinks(), vaztest::LinkName);
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "vaz_test_support.h"

namespace vaztest {

class ConnectedLink : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        sim_ = std::make_unique<Sim>(GetParam());
        ASSERT_GT(Vaz().VazInit(usb() ? 1 : 2), 0);
        sim_->ClearTrace();
    }
    void TearDown() override {
        ResetLibrary();
        sim_.reset();
    }
    bool usb() const { return GetParam() == Sim::kHid; }
    vazsim::VirtualReader& reader() { return sim_->reader(); }
    std::vector<std::string> commands() { return reader().commands(); }
    std::unique_ptr<Sim> sim_;
};

inline auto BothLinks() { return ::testing::Values(int(Sim::kSerial), int(Sim::kHid)); }
inline std::string LinkName(const ::testing::TestParamInfo<int>& info) {
    return info.param == Sim::kHid ? "Usb" : "Serial";
}

}  // namespace vaztest

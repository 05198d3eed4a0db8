// The fault matrix as tests: one test per column and link, each running its
// column's cells over every export that talks to the reader (the cells and
// their expected results are in fault_matrix.cpp).
#include <gtest/gtest.h>

#include <ostream>
#include <tuple>
#include <vector>

#include "fault_matrix.h"

namespace faultmatrix {
// Names the column in test names and failure messages.
void PrintTo(FaultKind kind, std::ostream* os) {
    *os << ColumnName(kind);
}
}  // namespace faultmatrix

namespace {

using faultmatrix::FaultKind;

class FaultMatrix : public ::testing::TestWithParam<std::tuple<FaultKind, bool>> {};

// Cells wait on silent readers; they run side by side in processes of their own.
constexpr int kJobs = 6;

TEST_P(FaultMatrix, EveryExportEndsAsDocumentedAndTheNextCommandWorks) {
    const auto [kind, usb] = GetParam();
    const std::vector<faultmatrix::Operation> ops = faultmatrix::AllOperations();
    std::vector<faultmatrix::Cell> cells;
    for (const faultmatrix::Fault& fault : faultmatrix::AllFaults()) {
        if (fault.kind != kind) continue;
        for (const faultmatrix::Operation& op : ops)
            if (faultmatrix::ExpectedFor(op, fault, usb).applies) cells.push_back({&op, fault, usb});
    }
    ASSERT_FALSE(cells.empty());
    const std::vector<faultmatrix::Outcome> outcomes = faultmatrix::RunCells(cells, kJobs);
    for (size_t i = 0; i < cells.size(); ++i)
        EXPECT_TRUE(outcomes[i].passed) << cells[i].op->name << " x " << faultmatrix::CellName(cells[i].fault)
                                        << ": " << outcomes[i].why;
}

std::string ColumnTestName(const ::testing::TestParamInfo<std::tuple<FaultKind, bool>>& info) {
    std::string name = faultmatrix::ColumnName(std::get<0>(info.param));
    for (char& c : name)
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    return name + (std::get<1>(info.param) ? "_Usb" : "_Serial");
}

INSTANTIATE_TEST_SUITE_P(
    Columns, FaultMatrix,
    ::testing::Combine(::testing::Values(FaultKind::NoOnce, FaultKind::NoUntilCard, FaultKind::Code, FaultKind::Garbled,
                                         FaultKind::Silence, FaultKind::StaleBytes, FaultKind::LengthLonger,
                                         FaultKind::LengthShorter, FaultKind::SilentMidReply,
                                         FaultKind::UnplugMidReply),
                       ::testing::Bool()),
    ColumnTestName);

}  // namespace

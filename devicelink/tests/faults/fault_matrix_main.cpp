// vaz-fault-matrix: runs every cell of the fault matrix and prints it as
// Markdown tables (the expected result and code of each cell, then what
// passed, per link), as docs/fault-matrix.md keeps them. Exits 1 when a
// cell failed.
//   vaz-fault-matrix [--serial | --usb] [--column NAME] [--export NAME] [--jobs N]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fault_matrix.h"

using namespace faultmatrix;

namespace {

struct Column {
    FaultKind kind;
    std::vector<Fault> faults;
};

std::vector<Column> Columns() {
    std::vector<Column> out;
    for (const Fault& f : AllFaults()) {
        if (out.empty() || out.back().kind != f.kind) out.push_back({f.kind, {}});
        out.back().faults.push_back(f);
    }
    return out;
}

void PrintHeader(const std::vector<Column>& cols) {
    printf("| Export |");
    for (const Column& c : cols) printf(" %s |", ColumnName(c.kind));
    printf("\n|---|");
    for (size_t i = 0; i < cols.size(); ++i) printf("---|");
    printf("\n");
}

// "result code", "dd" for the code a status column sends, "*" when the next
// command is not answered, "n/a" where the fault cannot reach the export.
std::string ExpectedText(const Operation& op, const Column& c, bool usb) {
    const Fault& f = c.faults.front();
    const Expected e = ExpectedFor(op, f, usb);
    if (!e.applies) return "n/a";
    const std::string code = f.kind == FaultKind::Code && e.code == f.code ? "dd" : e.code;
    return std::to_string(e.result) + " " + code + (e.nextWorks ? "" : " *");
}

}  // namespace

int main(int argc, char** argv) {
    bool serial = true, usb = true;
    std::string column, exportName;
    int jobs = 6;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--serial")) usb = false;
        else if (!strcmp(argv[i], "--usb")) serial = false;
        else if (!strcmp(argv[i], "--column") && i + 1 < argc) column = argv[++i];
        else if (!strcmp(argv[i], "--export") && i + 1 < argc) exportName = argv[++i];
        else if (!strcmp(argv[i], "--jobs") && i + 1 < argc) jobs = atoi(argv[++i]);
        else {
            fprintf(stderr, "usage: vaz-fault-matrix [--serial | --usb] [--column NAME] [--export NAME] [--jobs N]\n");
            return 2;
        }
    }
    std::vector<Operation> ops = AllOperations();
    if (!exportName.empty()) std::erase_if(ops, [&](const Operation& op) { return op.name != exportName; });
    std::vector<Column> cols = Columns();
    if (!column.empty()) std::erase_if(cols, [&](const Column& c) { return column != ColumnName(c.kind); });

    int total = 0, passed = 0;
    std::vector<std::string> failures;
    const auto t0 = std::chrono::steady_clock::now();
    for (bool onUsb : {false, true}) {
        if ((onUsb && !usb) || (!onUsb && !serial)) continue;
        const char* link = onUsb ? "USB" : "serial";
        printf("\n### Expected result and code, %s\n\n", link);
        PrintHeader(cols);
        for (const Operation& op : ops) {
            printf("| %s |", op.name.c_str());
            for (const Column& c : cols) printf(" %s |", ExpectedText(op, c, onUsb).c_str());
            printf("\n");
        }

        std::vector<Cell> cells;
        for (const Operation& op : ops)
            for (const Column& c : cols)
                for (const Fault& f : c.faults)
                    if (ExpectedFor(op, f, onUsb).applies) cells.push_back({&op, f, onUsb});
        const std::vector<Outcome> outcomes = RunCells(cells, jobs);

        printf("\n### Cells passed, %s (passed/cells, longest time in s)\n\n", link);
        PrintHeader(cols);
        size_t k = 0;
        for (const Operation& op : ops) {
            printf("| %s |", op.name.c_str());
            for (const Column& c : cols) {
                int n = 0, ok = 0;
                double longest = 0;
                for (size_t j = 0; j < c.faults.size(); ++j) {
                    if (k >= cells.size() || cells[k].op != &op || cells[k].fault.kind != c.kind) continue;
                    const Outcome& o = outcomes[k];
                    ++n;
                    ok += o.passed;
                    longest = std::max(longest, o.seconds);
                    if (!o.passed)
                        failures.push_back(std::string(link) + ": " + op.name + " x " + CellName(cells[k].fault) +
                                           ": " + o.why);
                    ++k;
                }
                total += n;
                passed += ok;
                if (n == 0) printf(" n/a |");
                else printf(" %d/%d %.1f |", ok, n, longest);
            }
            printf("\n");
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    printf("\n%d cells, %d passed (%.0f s, %d at a time)\n", total, passed, seconds, jobs);
    for (const std::string& f : failures) printf("FAILED %s\n", f.c_str());
    return passed == total ? 0 : 1;
}

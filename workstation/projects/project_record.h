// ProjectRecord: the production record of one reader unit under test, as the
// project list shows it, the project dialog edits it and eva.dat stores it.
#pragma once

#include <QString>
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

// How often each answer position (0-based) was wrong. The capacity is always
// a power of two, starting at 16; only positions 0..highest() mean anything.
class ErrorCounts {
public:
    // -1 when no position is in use.
    int highest() const { return highest_; }
    int capacity() const { return std::max(kInitialCapacity, int(counts_.size())); }
    // The counts of positions 0..highest().
    std::span<const std::int32_t> used() const { return {counts_.data(), size_t(highest_ + 1)}; }
    // The count of `position`, 0 beyond the capacity; a negative position is 0.
    std::int32_t at(int position) const;
    // The count of `position` for writing: grows the capacity to the smallest
    // power of two above it (new entries zero) and raises highest().
    std::int32_t& operator[](int position);
    // Every count zero, no position in use.
    void clear();
    // Drops trailing positions whose count is zero from highest().
    void trim();
    // Replaces all counts by `n` little-endian int32 values (a stored array).
    void assignLittleEndian(const char* values, int n);

    bool operator==(const ErrorCounts& other) const;

private:
    static constexpr int kInitialCapacity = 16;
    // Allocated on the first write: most records are read whole from a file.
    std::vector<std::int32_t> counts_;
    int highest_ = -1;
};

struct ProjectRecord {
    QString machineType;      // "机器型号"
    QString cardType;         // "信息卡型号"
    QString productNumber;    // "产品编号"
    QString mainboardNumber;  // "主板编号"
    QString powerNumber;      // "电源编号"
    QString photoHeadNumber;  // "光电头编号"
    std::int32_t totalErrors = 0;
    std::int32_t totalCards = 0;
    std::int32_t cardsThisRun = 0;  // dialog only
    std::int32_t stopCount = 0;
    std::int32_t speed = 0;  // dialog only: whole sheets per second
    QString errorPositions;  // dialog only: "%d; \r\n" for each wrong position of the last card
    ErrorCounts errorCounts;

    bool operator==(const ProjectRecord&) const = default;

    // The record as the list keeps it: the dialog-only fields cleared and the
    // positions up to the last one with an error.
    ProjectRecord stored() const;
};

// The "错误位置" column: "%d-%d;" with position and count for each position
// whose count is above 0, ascending ("4-3;17-1;").
QString errorPositionsColumn(const ErrorCounts& counts);

#include "project_record.h"

#include <QtEndian>
#include <algorithm>
#include <bit>

std::int32_t ErrorCounts::at(int position) const {
    position = std::max(position, 0);
    return position < int(counts_.size()) ? counts_[size_t(position)] : 0;
}

std::int32_t& ErrorCounts::operator[](int position) {
    position = std::max(position, 0);
    if (position >= int(counts_.size()))
        counts_.resize(std::max<size_t>(kInitialCapacity, std::bit_ceil(size_t(position) + 1)), 0);
    highest_ = std::max(highest_, position);
    return counts_[size_t(position)];
}

void ErrorCounts::clear() {
    std::fill(counts_.begin(), counts_.end(), 0);
    highest_ = -1;
}

void ErrorCounts::trim() {
    while (highest_ >= 0 && counts_[size_t(highest_)] == 0) --highest_;
}

void ErrorCounts::assignLittleEndian(const char* values, int n) {
    counts_.assign(std::max<size_t>(kInitialCapacity, std::bit_ceil(size_t(std::max(n, 0)))), 0);
    if (n > 0) qFromLittleEndian<std::int32_t>(values, n, counts_.data());
    highest_ = n - 1;
}

bool ErrorCounts::operator==(const ErrorCounts& other) const {
    if (highest_ != other.highest_) return false;
    for (int i = 0; i <= highest_; ++i)
        if (at(i) != other.at(i)) return false;
    return true;
}

ProjectRecord ProjectRecord::stored() const {
    ProjectRecord r = *this;
    r.cardsThisRun = 0;
    r.speed = 0;
    r.errorPositions.clear();
    r.errorCounts.trim();
    return r;
}

QString errorPositionsColumn(const ErrorCounts& counts) {
    QString text;
    for (int i = 0; i <= counts.highest(); ++i)
        if (counts.at(i) > 0) text += QString::number(i) + u'-' + QString::number(counts.at(i)) + u';';
    return text;
}

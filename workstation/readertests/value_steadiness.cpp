#include "value_steadiness.h"

#include <algorithm>
#include <cstdlib>

CValueSteadiness::CValueSteadiness(const Sample& minimum, const Sample& maximum, const Sample& reference)
    : min_(minimum), max_(maximum), ref_(reference) {}

QColor CValueSteadiness::take(int index, int d) {
    if (index < 0 || index >= kValues) return unsteadyColour();
    int& lo = min_[size_t(index)];
    int& hi = max_[size_t(index)];
    int& ref = ref_[size_t(index)];
    if (d < lo) lo = d;
    if (d > hi) hi = d;
    const int spread = std::max(hi - d, d - lo);
    if (std::abs(d - ref) <= 2 && spread <= 2) {
        ref = d;
        return steadyColour(spread);
    }
    return unsteadyColour();
}

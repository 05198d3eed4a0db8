// How steady each head of the value test reads: the running minimum and
// maximum since the run began and the last steady value (the reference),
// one per column of the value table.
//
// A value is steady while it stays within 2 of the reference and the whole
// range shown since the start stays within 2 of it; its colour is then a
// pink that deepens with that spread (0, 1, 2). Any other value is red, and
// a head whose minimum and maximum are more than 4 apart stays red.
#pragma once

#include <QColor>
#include <array>

class CValueSteadiness {
public:
    // Values a sample holds at most (the columns of the table use 50).
    static constexpr int kValues = 256;
    using Sample = std::array<int, kValues>;

    // The three initial samples: minimum, maximum and reference.
    CValueSteadiness(const Sample& minimum, const Sample& maximum, const Sample& reference);

    // Takes value `d` of head `index` and returns the colour of its cell.
    QColor take(int index, int d);

    static QColor steadyColour(int spread) { return QColor(255, 225 - 18 * spread, 255); }
    static QColor unsteadyColour() { return QColor(255, 0, 0); }

private:
    Sample min_, max_, ref_;
};

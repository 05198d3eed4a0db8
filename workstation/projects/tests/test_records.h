// Project records with varied texts and counts for the tests and the benchmark.
#pragma once

#include <QStringView>
#include <vector>

#include "project_record.h"

namespace testrecords {

inline ProjectRecord record(QStringView machine, QStringView card, int seed) {
    ProjectRecord r;
    r.machineType = machine.toString();
    r.cardType = card.toString();
    r.productNumber = QStringLiteral("P%1").arg(seed, 6, 10, QChar(u'0'));
    r.mainboardNumber = QStringLiteral("MB-%1").arg(seed * 7);
    r.powerNumber = QStringLiteral("PW%1").arg(seed * 13);
    r.photoHeadNumber = QStringLiteral("光电头%1").arg(seed);
    r.totalErrors = seed * 3;
    r.totalCards = 100 + seed;
    r.stopCount = seed % 4;
    r.errorCounts[seed % 7] = seed + 1;
    return r;
}

// `n` records with counts at `positions` positions, the last one never zero.
inline std::vector<ProjectRecord> many(int n, int positions) {
    std::vector<ProjectRecord> records;
    for (int i = 0; i < n; ++i) {
        ProjectRecord r = record(i % 2 ? u"R6KTM" : u"R6KTS", u"标准答题卡", i);
        for (int p = 0; p < positions; ++p) r.errorCounts[p] = (p * 7 + i) % 5;
        if (positions > 0) r.errorCounts[positions - 1] = 1 + i;
        records.push_back(r);
    }
    return records;
}

}  // namespace testrecords

#include "data/AlgLastSel.h"

#include "data/AlgorithmTable.h"

LONG AlgLastSelTable[kRecommendCategoryCount];

void ResetAlgLastSel() {
    static const LONG kDefaults[kRecommendCategoryCount] = {0, 26, 38, 45, 53, 56, 82, 84, 128, 149};
    for (int c = 0; c < kRecommendCategoryCount; ++c) AlgLastSelTable[c] = kDefaults[c];
}

void InitAlgLastSel() {
    for (int c = 0; c < kRecommendCategoryCount; ++c) {
        for (int row = 0; row < kAlgorithmRowCount; ++row) {
            if (AlgorithmTable[row].recommendCategory == c) {
                AlgLastSelTable[c] = row;
                break;
            }
        }
    }
}

LONG GetAlgLastSel(UINT category) {
    return category < UINT(kRecommendCategoryCount) ? AlgLastSelTable[category] : 0;
}

void SetAlgLastSel(UINT category, UINT row) {
    if (category >= UINT(kRecommendCategoryCount) || row >= UINT(kAlgorithmRowCount)) return;
    if (AlgorithmTable[row].recommendCategory != LONG(category)) return;
    AlgLastSelTable[category] = LONG(row);
}

#pragma once
// The target the user last chose for each recommendation category: the next
// recommendation of a voice of that category selects it. The main window
// keeps the table in the settings.
#include "data/NameTables.h"
#include "platform/Types.h"

// Entry c: the algorithm-table row last chosen for RecommendCategoryNames[c].
extern LONG AlgLastSelTable[kRecommendCategoryCount];

// The table's defaults: 0, 26, 38, 45, 53, 56, 82, 84, 128, 149.
void ResetAlgLastSel();
// Each entry becomes the first row 0..191 of its category; an entry whose
// category no row has keeps its value. Needs the algorithm table filled.
void InitAlgLastSel();
// Entry c for c 0..9, else 0.
LONG GetAlgLastSel(UINT category);
// Stores the row when the category is 0..9, the row 0..191 and of that
// category; otherwise nothing changes.
void SetAlgLastSel(UINT category, UINT row);

// Item helpers of the argument-form loaders (tempo, set-up, packed,
// velocity, controller and duration expressions): positions that may be
// passed over, quoted hexadecimal texts, the clean end of a line and the
// append that keeps nothing on failure.
#pragma once

#include <memory>

#include "engine/expressions/ArticExp.h"
#include "engine/expressions/ArticMeas.h"
#include "engine/loaders/ArticLoadMgr.h"
#include "engine/work/ArticUtil.h"

// A position item as read: a triple (meas), a tick count (ticks), or, when a
// gated item was passed over, neither (given false).
struct ExpArgPos {
    std::unique_ptr<CArticMeas> meas;
    ULONG ticks = 0;
    bool given = false;
};

// Reads a position item; ticksAllowed lets a plain number stand for ticks.
inline int ExpArgTakePos(CArticLoadMgr& loader, CExString& text, ExpArgPos* pos, bool ticksAllowed,
                         CArticLoadMgr::ExpItem kind) {
    // Whether the item is read, found as NextExpItem would find it, without
    // a copy of the text.
    if (text.IsEmpty()) return 1;
    const CExString::TokenSpan cut = text.FindToken(":,(){}");
    if (kind != CArticLoadMgr::kExpFinal && cut.rest < 0) return 1;
    pos->given = kind != CArticLoadMgr::kExpGated || text[cut.rest] == ',';
    return loader.GetExpMeas(text, &pos->meas, ticksAllowed ? &pos->ticks : nullptr, kind);
}

// Reads a hexadecimal text in double quotes into *value (unquoted). length
// is the exact count of digits, or 0 for an even count of at least 2. A
// gated item passed over leaves *value as it was.
inline int ExpArgTakeHex(CExString& text, CString* value, int length, CArticLoadMgr::ExpItem kind) {
    CExString token;
    bool convert = false;
    if (!CArticLoadMgr::NextExpItem(text, &token, kind, &convert)) return 1;
    if (!convert) return 0;
    if (CArticUtil::EraseDQ(token) != 0) return 1;
    const int n = token.GetLength();
    if (length > 0 ? n != length : (n < 2 || n % 2 != 0)) return 1;
    for (int i = 0; i < n; ++i) {
        const char c = token[i];
        const bool hex = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
        if (!hex) return 1;
    }
    *value = token;
    return 0;
}

// Whether nothing but one closing parenthesis follows the final item.
inline bool ExpArgEndsClean(const CExString& rest) { return rest.IsEmpty() || rest == ")"; }


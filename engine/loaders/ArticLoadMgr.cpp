#include "engine/loaders/ArticLoadMgr.h"

#include "engine/rules/ArticRulText.h"

#include <cstring>
#include <memory>
#include <new>

#include "driver/ArticErr.h"
#include "engine/rules/ArticRul.h"
#include "engine/rules/ArticRulInit.h"
#include "engine/rules/ArticRulSet.h"
#include "engine/rules/ArticRulSub.h"
#include "engine/rules/ArticRulUtil.h"

using namespace rultext;

namespace {}

void CArticLoadMgr::DispErrMsg(const CString& caption, const CString& message, const CString& function,
                               const CString& detail) {
    CArticErr::Set(message, "CArticLoadMgr", function, detail);
    CString text;
    CArticErr::Get(text);
    CArticErr::DoModalErrDlg(caption + "\r" + text, 0x10);
    if (!detail.IsEmpty()) CArticErr::Set(kArticErrKindDetail, detail, "CArticLoadMgr", function, CString());
}

int CArticLoadMgr::LoadRul(CStringList& script) {
    if (!m_pRul) return 1;
    m_pRul->Clear();
    m_PbProc = 0;
    m_TgMode = 2;
    m_InstNum = 0;

    CStringList lines;
    CString errLine;
    if (CArticRulUtil::Expand(script, CString(), lines, errLine) != 0) {
        DispErrMsg(kLoadCaption, "includeﾌｧｲﾙを展開中でｴﾗｰが発生しました。", "LoadRul", CString("行内容 = ") + errLine);
        return 1;
    }

    int result = 0;
    int nestFrom = -1;
    for (int i = 0; i < 2; ++i) {
        CStringList block;
        CArticRulUtil::GetRulInit(lines, block, errLine);
        CArticRulInit* init = m_pRul->GetInit(i);
        if (!init) return 1;
        init->Clear();
        if (block.IsEmpty()) continue;
        if (init->Load(block) != 0) result = 1;
        const int declared = init->GetDeclared();
        if (declared & CArticRulInit::kDeclPbProc) m_PbProc = init->GetPbProc();
        if (declared & CArticRulInit::kDeclTgMode) m_TgMode = init->GetTgMode();
        if (declared & CArticRulInit::kDeclInstNum) m_InstNum = init->GetInstNum();
        if (init->GetProcNestFlag()) {
            if (nestFrom >= 0) {
                DispErrMsg(kLoadCaption, "指定した行の内容に誤りがあります。", "LoadRul", "#procNest");
                result = 1;
            } else {
                nestFrom = i;
            }
        }
    }
    m_pRul->SetProcNestFlag(1);
    CArticRulInit* nest = nestFrom >= 0 ? m_pRul->GetInit(nestFrom) : nullptr;
    m_pRul->SetProcNest(nest ? nest->GetProcNest() : 0);
    m_pRul->SetDirection(nest ? nest->GetDirection() : 0);

    CStringList subs;
    CArticRulUtil::GetRulSub(lines, subs, errLine);
    if (!subs.IsEmpty() && LoadRulSubAll(subs) != 0) result = 1;

    // What is left: rule sets, each from its "#set" head to the next.
    CStringList setLines;
    bool inSet = false;
    auto flush = [&] {
        if (inSet && LoadRulSet(setLines) != 0) result = 1;
        setLines.RemoveAll();
    };
    for (POSITION p = lines.GetHeadPosition(); p;) {
        const CString line = lines.GetNext(p);
        if (CArticRulUtil::HeadToken(line) == "#set") {
            flush();
            inSet = true;
        }
        if (inSet) setLines.AddTail(line);
    }
    flush();
    return result;
}

int CArticLoadMgr::LoadRulSet(CStringList& lines) {
    if (!m_pRul) return 1;
    std::unique_ptr<CArticRulSet> set(new (std::nothrow) CArticRulSet(m_pRul, m_pWrk));
    if (!set) return 1;
    int inUse = 0;
    const int r = set->Load(lines, &inUse);
    if (r != 0 || inUse) {
        CString detail;
        detail.Format("ｾｯﾄ番号 = %d", set->GetSetNo());
        DispErrMsg(kLoadCaption, "指定したﾙｰﾙ・ｾｯﾄの内容に誤りがあります。", "LoadRulSet", detail);
        return 1;
    }
    m_pRul->AddTail(set.release());
    return 0;
}

int CArticLoadMgr::LoadRulSubAll(CStringList& lines) {
    if (!m_pRul || !m_pWrk) return 1;
    int result = 0;
    CStringList block;
    auto flush = [&] {
        if (!block.IsEmpty() && LoadRulSub(block) != 0) result = 1;
        block.RemoveAll();
    };
    for (POSITION p = lines.GetHeadPosition(); p;) {
        const CString line = lines.GetNext(p);
        if (line.IsEmpty() || line[0] == ';') continue;
        if (std::strncmp(line.c_str(), "#sub:", 5) == 0) flush();
        block.AddTail(line);
    }
    flush();
    return result;
}

int CArticLoadMgr::LoadRulSub(CStringList& lines) {
    if (!m_pRul) return 1;
    std::unique_ptr<CArticRulSub> sub(new (std::nothrow) CArticRulSub(m_pRul, m_pWrk));
    if (!sub) return 1;
    if (sub->Load(lines) != 0) {
        CString detail = "ｻﾌﾞﾙｰﾁﾝ番号 = ";
        if (sub->GetSubNo() == -1)
            detail += "未定義";
        else
            detail.AppendFormat("%d", sub->GetSubNo());
        DispErrMsg(kLoadCaption, "指定したﾙｰﾙ・ｻﾌﾞﾙｰﾁﾝの内容に誤りがあります。", "LoadRulSub", detail);
        return 1;
    }
    m_pRul->AddSubTail(sub.release());
    return 0;
}

// The preparatory passes the song walk runs over the work data.
#include <memory>
#include <new>

#include "driver/ArticEditorUtil.h"
#include "driver/ArticPref.h"
#include "driver/ArticView.h"
#include "driver/DelGrace.h"
#include "driver/PbWhiten.h"

int CArticEditorUtil::DelGrace(CArticWrk* wrk) {
    if (!s_pView) return 0;
    CArticPref* pref = s_pView->GetPref();
    CArticPrefSetting* setting = pref ? pref->GetSetting() : nullptr;
    if (!setting || !setting->GetDelGrace()) return 1;
    std::unique_ptr<CDelGrace> pass(new (std::nothrow) CDelGrace());
    if (!pass) return 1;
    pass->SetWrk(wrk);
    pass->SetMergine(INT64(DWORD(s_pView->GetResolution()) * 0.2));
    pass->SetLongestGrace(70);
    pass->SetMaxGraceRatio(0.5);
    return pass->DelGrace();
}

int CArticEditorUtil::ProcWhiten(CArticWrk* wrk) {
    std::unique_ptr<CPbWhiten> pass(new (std::nothrow) CPbWhiten());
    if (!pass) return 1;
    pass->SetWrk(wrk);
    pass->SetMinSpritTime(85);
    pass->SetKeySftMargin(0.25);
    pass->SetInputMargin(6);
    return pass->WhitenPBtoKey();
}

#include "driver/ArticView.h"

#include "driver/ArticEditorUtil.h"

CArticView::~CArticView() {
    if (CArticEditorUtil::GetView() == this) CArticEditorUtil::SetView(nullptr);
}

int CArticView::MeasToTime(LONG meas, LONG beat, LONG tick, INT64* time, DWORD format, DWORD flag) {
    CKPSManager* host = GetCEditor();
    return host && host->MeasToTime(meas, beat, tick, time, format, flag) >= 0 ? 1 : 0;
}

int CArticView::ConvertTime(INT64 value, DWORD fromFormat, DWORD fromFlag, INT64* out, DWORD toFormat,
                            DWORD toFlag) {
    CKPSManager* host = GetCEditor();
    return host && host->ConvertTime(value, fromFormat, fromFlag, out, toFormat, toFlag) >= 0 ? 1 : 0;
}

int CArticView::TimeToMeas(INT64 time, DWORD format, DWORD flag, LONG* meas, LONG* beat, LONG* tick) {
    CKPSManager* host = GetCEditor();
    return host && host->TimeToMeas(time, format, flag, meas, beat, tick) >= 0 ? 1 : 0;
}

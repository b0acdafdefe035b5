#pragma once
// What the song bridge asks of the conversion driver that is running: the
// "view" registered with CArticEditorUtil for the length of a conversion.
// The conversion driver derives from it; tests install their own. The time
// forwards are served here from the host interface the view names.
#include "host/KPSManager.h"
#include "platform/Types.h"

class CArticPref;
class CPHConvPrm;
class CPgBsel;
class CVeloSens;

class CArticView {
public:
    CArticView() = default;
    // A view that is still registered when it goes is unregistered.
    virtual ~CArticView();
    CArticView(const CArticView&) = delete;
    CArticView& operator=(const CArticView&) = delete;

    virtual CKPSManager* GetCEditor() const = 0;
    virtual CArticPref* GetPref() const = 0;
    // The timelines of KV part messages; null when the driver keeps none.
    virtual CVeloSens* GetVeloSens() const = 0;
    virtual CPgBsel* GetPgBsel() const = 0;
    // Analysis beat resolution, engine ticks.
    virtual int GetResolution() const = 0;
    virtual CPHConvPrm* GetConvPrm() const = 0;
    virtual int GetKind() const = 0;
    virtual BYTE GetKindFlag() const = 0;
    virtual int GetConvMode() const = 0;
    virtual int GetPbExist() const = 0;
    // 1 while the driver is busy elsewhere (the write-back then refuses to start).
    virtual int IsBusy() const { return 0; }
    // 1 while the engine is on its first conversion of the song: the
    // write-back then removes the selected originals before writing.
    virtual int IsFirstConv() const { return 1; }

    // The host's operations of the same names: 1 when the host's result is
    // not negative, 0 otherwise or without a host.
    virtual int MeasToTime(LONG meas, LONG beat, LONG tick, INT64* time, DWORD format, DWORD flag);
    virtual int ConvertTime(INT64 value, DWORD fromFormat, DWORD fromFlag, INT64* out, DWORD toFormat,
                            DWORD toFlag);
    virtual int TimeToMeas(INT64 time, DWORD format, DWORD flag, LONG* meas, LONG* beat, LONG* tick);
};

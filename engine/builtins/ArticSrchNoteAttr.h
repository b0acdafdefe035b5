#pragma once
// Note-attribute comparisons: key, velocity, gate, on-time and off-time of a
// note against script values, a note against its neighbours on its string,
// and one gate over several notes.
#include "engine/builtins/ArticSrchShape.h"

// KeySummit(ev, &out): 1.0 when the notes before and after on ev's string are both lower.
class CArticSrchKeySummit : public ArticSrchArgsIO {
    VX_DECLARE_CLASS(CArticSrchKeySummit)
public:
    using ArticSrchArgsIO::ArticSrchArgsIO;
    int Search() override;
};

// DurCmp(ev, dur, tol, &out): the gate within dur +- abs(tol), not below 0.
class CArticSrchDurCmp : public ArticSrchWithI3<CArticSrchDur> {
    VX_DECLARE_CLASS(CArticSrchDurCmp)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};

// DurMore / DurLess(ev, dur, &out): the gate above / below dur.
class CArticSrchDurMore : public CArticSrchDur {
    VX_DECLARE_CLASS(CArticSrchDurMore)
public:
    using CArticSrchDur::CArticSrchDur;
    int Search() override;
};

class CArticSrchDurLess : public CArticSrchDur {
    VX_DECLARE_CLASS(CArticSrchDurLess)
public:
    using CArticSrchDur::CArticSrchDur;
    int Search() override;
};

// DurCont(ev, dur, count, tol, &out): ev and the count - 1 notes after it on
// its string all have a gate within dur +- tol.
class CArticSrchDurCont : public ArticSrchWithI4<ArticSrchWithI3<ArticSrchArgsIIO>> {
    VX_DECLARE_CLASS(CArticSrchDurCont)
public:
    using ArticSrchWithI4::ArticSrchWithI4;
    int Search() override;
};

// KeyCmp / KeyMore / KeyLess(ev, key, &out): the note number against the
// low byte of key.
class CArticSrchKeyCmp : public CArticSrchKey {
    VX_DECLARE_CLASS(CArticSrchKeyCmp)
public:
    using CArticSrchKey::CArticSrchKey;
    int Search() override;
};

class CArticSrchKeyMore : public CArticSrchKey {
    VX_DECLARE_CLASS(CArticSrchKeyMore)
public:
    using CArticSrchKey::CArticSrchKey;
    int Search() override;
};

class CArticSrchKeyLess : public CArticSrchKey {
    VX_DECLARE_CLASS(CArticSrchKeyLess)
public:
    using CArticSrchKey::CArticSrchKey;
    int Search() override;
};

// VeloCmp(ev, velo, tol, &out): the velocity within velo +- abs(tol), the
// band cut to 0..127.
class CArticSrchVeloCmp : public ArticSrchWithI3<CArticSrchVelo> {
    VX_DECLARE_CLASS(CArticSrchVeloCmp)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};

class CArticSrchVeloMore : public CArticSrchVelo {
    VX_DECLARE_CLASS(CArticSrchVeloMore)
public:
    using CArticSrchVelo::CArticSrchVelo;
    int Search() override;
};

class CArticSrchVeloLess : public CArticSrchVelo {
    VX_DECLARE_CLASS(CArticSrchVeloLess)
public:
    using CArticSrchVelo::CArticSrchVelo;
    int Search() override;
};

// OnTimeCmp(ev, when, tol, &out), OnTimeMore / OnTimeLess(ev, when, &out):
// the on-time against a tick time or a "bar/beat/tick" text. A text that
// cannot be converted leaves the output as it was.
class CArticSrchOnTimeCmp : public ArticSrchWithI3<CArticSrchOnTime> {
    VX_DECLARE_CLASS(CArticSrchOnTimeCmp)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};

class CArticSrchOnTimeMore : public CArticSrchOnTime {
    VX_DECLARE_CLASS(CArticSrchOnTimeMore)
public:
    using CArticSrchOnTime::CArticSrchOnTime;
    int Search() override;
};

class CArticSrchOnTimeLess : public CArticSrchOnTime {
    VX_DECLARE_CLASS(CArticSrchOnTimeLess)
public:
    using CArticSrchOnTime::CArticSrchOnTime;
    int Search() override;
};

// The same for the off-time (on-time + gate).
class CArticSrchOffTimeCmp : public ArticSrchWithI3<CArticSrchOffTime> {
    VX_DECLARE_CLASS(CArticSrchOffTimeCmp)
public:
    using ArticSrchWithI3::ArticSrchWithI3;
    int Search() override;
};

class CArticSrchOffTimeMore : public CArticSrchOffTime {
    VX_DECLARE_CLASS(CArticSrchOffTimeMore)
public:
    using CArticSrchOffTime::CArticSrchOffTime;
    int Search() override;
};

class CArticSrchOffTimeLess : public CArticSrchOffTime {
    VX_DECLARE_CLASS(CArticSrchOffTimeLess)
public:
    using CArticSrchOffTime::CArticSrchOffTime;
    int Search() override;
};

// Writes the five phrase files of the library (Lib/) with the engine's own
// SMF writer: format 0, one track, 480 ticks per quarter note.
//
//   make_phrase_files <folder>
//
// GlisDn.mid    controller 11 centred on 64 (no change) falling to 0
// Sdn5nt.mid    a pitch-bend fall from the centre downwards
// Vib3-g02.mid  one vibrato cycle of pitch bend
// Vib3-g03.mid  the same cycle, deeper
// vib4-g02.mid  a slower, wider vibrato cycle
//
// A vibrato file is repeated by the paste with the period of its last
// event's time, each repetition's first event taking the place of the
// previous last one: so its first and last values are equal and its last
// event lies after tick 0.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/work/ArticFileIO.h"
#include "engine/work/ArticWrkEvnt.h"
#include "engine/work/ArticWrkUtil.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Events {
    std::vector<std::unique_ptr<CArticWrkEvnt>> owned;
    CArticWrkEvntList list;
    CArticWrkEvnt* Add(BYTE status, INT64 time) {
        owned.push_back(std::make_unique<CArticWrkEvnt>());
        CArticWrkEvnt* e = owned.back().get();
        e->SetStatus(status);
        e->SetTime(time, 0);
        list.AddTail(e);
        return e;
    }
    void Name(const char* text) {
        CArticWrkEvnt* e = Add(0xFF, 0);
        e->SetMeta(0x03, reinterpret_cast<const BYTE*>(text), ULONG(std::strlen(text)));
    }
    void Cc(INT64 time, BYTE number, int value) {
        CArticWrkEvnt* e = Add(0xB0, time);
        e->SetPost1(number);
        e->SetPost2(BYTE(value < 0 ? 0 : value > 127 ? 127 : value));
    }
    void Bend(INT64 time, int value) {
        CArticWrkEvnt* e = Add(0xE0, time);
        _WRK_EVNT r;
        e->Get(r);
        CArticWrkUtil::SetPitchBend(r, short(value < -8192 ? -8192 : value > 8191 ? 8191 : value));
        e->Set(r);
    }
};

int Round(double v) { return int(std::floor(v + 0.5)); }

// Controller 11 from 64 (no change) down to 0 over 480 ticks, falling faster towards the end.
void GlisDn(Events& ev) {
    ev.Name("GlisDn");
    for (int i = 0; i <= 16; ++i) {
        const double x = i / 16.0;
        ev.Cc(i * 30, 11, Round(64.0 * (1.0 - x * x)));
    }
}

// Pitch bend from the centre down to the bottom of the range over 480 ticks.
void Sdn5nt(Events& ev) {
    ev.Name("Sdn5nt");
    for (int i = 0; i <= 16; ++i) {
        const double x = i / 16.0;
        ev.Bend(i * 30, Round(-8192.0 * x * x));
    }
}

// One sine cycle of bend over `period` ticks in `steps` steps, back to 0 at the end.
void Vibrato(Events& ev, const char* name, int period, int steps, double depth) {
    ev.Name(name);
    for (int i = 0; i <= steps; ++i) {
        const INT64 t = INT64(i) * period / steps;
        ev.Bend(t, i == steps ? 0 : Round(depth * std::sin(2.0 * kPi * i / steps)));
    }
}

bool Save(const char* folder, const char* name, Events& ev) {
    std::string path = std::string(folder) + "/" + name;
    CArticFileIO io;
    io.SetEvntList(&ev.list);
    if (!io.Save(path.c_str())) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const char* folder = argv[1];
    Events glis, fall, vib2, vib3, vib4;
    GlisDn(glis);
    Sdn5nt(fall);
    Vibrato(vib2, "Vib3-g02", 160, 16, 1024.0);
    Vibrato(vib3, "Vib3-g03", 160, 16, 2048.0);
    Vibrato(vib4, "vib4-g02", 192, 16, 1536.0);
    bool ok = Save(folder, "GlisDn.mid", glis) && Save(folder, "Sdn5nt.mid", fall) &&
              Save(folder, "Vib3-g02.mid", vib2) && Save(folder, "Vib3-g03.mid", vib3) &&
              Save(folder, "vib4-g02.mid", vib4);
    return ok ? 0 : 1;
}

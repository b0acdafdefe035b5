#include "engine/builtins/ArticSrchSong.h"

namespace {

// Constant-initialised, so an entry made during static initialisation of
// another library's unit is never overwritten afterwards.
const ArticSrchSong* g_pSrchSong = nullptr;

}  // namespace

void ArticSrchSong::Enter(const ArticSrchSong* song) { g_pSrchSong = song; }

const ArticSrchSong* ArticSrchSong::Get() { return g_pSrchSong; }

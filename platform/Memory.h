#pragma once
// Movable memory blocks and task memory. A global block is an owned byte block
// with its size; lock gives its bytes, free releases it. Task memory is a
// malloc/free pair with one owner.
#include <cstddef>

#include "platform/Types.h"

struct VxGlobalBlock;
using HGLOBAL = VxGlobalBlock*;

enum : UINT { GMEM_FIXED = 0x0, GMEM_MOVEABLE = 0x2, GMEM_ZEROINIT = 0x40, GMEM_SHARE = 0x2000, GHND = 0x42 };

// Null only when memory runs out; size 0 gives a valid empty block that locks
// and frees like any other. The bytes are always zeroed.
HGLOBAL GlobalAlloc(UINT flags, size_t size);
void* GlobalLock(HGLOBAL block);               // null for a null block
bool GlobalUnlock(HGLOBAL block);
size_t GlobalSize(HGLOBAL block);
HGLOBAL GlobalFree(HGLOBAL block);  // null when freed

void* CoTaskMemAlloc(size_t size);
void CoTaskMemFree(void* p);

// Sets the C heap up for the engine's way of using it: a rule program or a
// work data is hundreds of thousands of small objects, dropped all at once
// and made again for the next channel. Without fast bins, freed neighbours
// merge at once and the next objects are cut from contiguous memory, instead
// of each coming back as a scattered chunk of the last program (a cache miss
// per allocation). Only a policy: any allocator keeps working without it.
void TuneHeapForEngine();

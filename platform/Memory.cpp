#include "platform/Memory.h"

#include <cstdlib>
#include <memory>
#include <new>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

struct VxGlobalBlock {
    size_t size;
    std::unique_ptr<BYTE[]> bytes;  // at least one byte, so that even an empty block locks to a real address
};

HGLOBAL GlobalAlloc(UINT /*flags*/, size_t size) {
    auto block = std::unique_ptr<VxGlobalBlock>(new (std::nothrow) VxGlobalBlock{size, nullptr});
    if (!block) return nullptr;
    // Always zeroed: a caller that leaves out GMEM_ZEROINIT still never reads stale bytes.
    block->bytes.reset(new (std::nothrow) BYTE[size ? size : 1]());
    if (!block->bytes) return nullptr;
    return block.release();
}

void* GlobalLock(HGLOBAL block) { return block ? block->bytes.get() : nullptr; }

bool GlobalUnlock(HGLOBAL /*block*/) { return true; }

size_t GlobalSize(HGLOBAL block) { return block ? block->size : 0; }

HGLOBAL GlobalFree(HGLOBAL block) {
    delete block;
    return nullptr;
}

void* CoTaskMemAlloc(size_t size) { return std::malloc(size); }

void CoTaskMemFree(void* p) { std::free(p); }

void TuneHeapForEngine() {
#if defined(__GLIBC__)
    mallopt(M_MXFAST, 0);
#endif
}

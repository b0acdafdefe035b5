// The program's two exports. A file of its own, outside the batched build, so
// that a program that brings other exports (the user interface's start-up
// probe) links without these.
#include <new>

#include "driver/PhrasorCore.h"

CPhrasorCoreIF* CreatePhrasorCore(void* moduleHandle) {
    CPhrasorCoreImpl* core = new (std::nothrow) CPhrasorCoreImpl(moduleHandle != nullptr);
    return core;
}

void DeletePhrasorCore(CPhrasorCoreIF* core) { delete core; }

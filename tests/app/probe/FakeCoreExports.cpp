// The engine core's two exports for the test build of the program
// (vexa_probe: the program's own main on this file): a fake core, so that
// the program starts without the engine.
#include "driver/PhrasorCoreIF.h"
#include "tests/app/FakePhrasorCore.h"

CPhrasorCoreIF* CreatePhrasorCore(void*) { return new FakePhrasorCore; }

void DeletePhrasorCore(CPhrasorCoreIF* core) { delete core; }

// The holder of the engine's own core. A file of its own (and outside the
// batched build): a program that makes its holders with another factory
// does not link the engine's exports through it.
#include "app/CoreHolder.h"

#include "driver/PhrasorCoreIF.h"

CoreHolder::CoreHolder() : CoreHolder(CoreFactory{CreatePhrasorCore, DeletePhrasorCore}) {}

#include "engine/work/ArticFngrInfo.h"

VX_IMPLEMENT_CLASS(CArticFngrInfo, CObject);

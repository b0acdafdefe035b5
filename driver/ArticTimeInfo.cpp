#include "driver/ArticTimeInfo.h"

VX_IMPLEMENT_CLASS(CArticTimeInfo, CObject);

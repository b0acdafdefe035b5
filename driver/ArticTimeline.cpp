#include "driver/ArticTimeline.h"

VX_IMPLEMENT_CLASS(CArticTimelineEvnt, CObject);

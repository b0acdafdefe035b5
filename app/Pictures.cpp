#include "app/Pictures.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares the resource's function and must stand outside
// any namespace. Registering the same data again is ignored by Qt.
void RegisterPictures() { Q_INIT_RESOURCE(res); }

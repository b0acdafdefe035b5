// The program's pictures (":/res/...", res/res.qrc) are compiled into this
// library; a static library has to register them before the first use. The
// main window's form does so itself; anything else that reads them first
// calls this (more calls do no harm).
#pragma once

void RegisterPictures();

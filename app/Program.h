#pragma once
// What main does once the application object stands: the window icon, the
// main window and the event loop. Tests call it with their own prompter and
// core holder inside their one QApplication.
#include "app/MainWindow.h"

// The event loop's result, or -1 when a start-up check of the window failed.
int RunProgram(const MainWindowSetup& setup);

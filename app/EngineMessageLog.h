#pragma once
// The engine never opens a window: what it would show in a message box goes
// to the platform's message sink. The program installs this one, which writes
// each message to the debug log from whatever thread the engine runs on and
// answers OK.
void InstallEngineMessageLog();

// QaBrisel.exe: the entry point and the one global module, built before
// wWinMain runs (its constructor reads the settings and counts this start).
#include <windows.h>

#include "app/global_module.h"
#include "app/run.h"

CGlobalModule g_globalModule;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return AppMain(instance); }

// The once-per-run upgrade check: fetch the version-description file, decide,
// tell the user, fetch and start the upgrader, record the version and quit.
#pragma once

#include <windows.h>

#include "net/core/upgrade_logic.h"

class CGlobalModule;

// Queues the version-description download once per run (UI thread).
void StartVersionCheck();
// Queues the upgrader download (worker thread, from the check's callback).
void StartUpgraderDownload(CGlobalModule* module);
// The callback of both upgrade downloads.
void OnUpgradeTaskDone(void* userData, int taskId, int status, int result, INT_PTR detail);
bool IsProcessElevated();

// Command-line switches, the start counters kept in the settings file, the
// usage query for the login page and the optional icon-animation program.
#pragma once

#include <string>

#include "app/core/usage.h"

// True when `text` occurs anywhere in the process's command line (case-sensitive).
bool HasCommandLineSwitch(const std::wstring& text);

// Counts this start once ("Common"/"RunCount") and returns the count; 0 for
// starts with "/setupsucc" or "/ShowDeskTop", which are not counted.
int GetRunCount();

bool IsActiveMarked();
void MarkActive();

// The usage query for the login address, with this start's count and time.
std::wstring BuildUsageQuery(const std::wstring& referrer, const std::wstring& uid,
                             const std::wstring& installTime);

// Starts <data folder>\iconAnimate.exe when it exists; never waits for it.
void StartIconAnimation();

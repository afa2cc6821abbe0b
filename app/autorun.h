// The client's entry in the current user's Run key, value "Ostrevane".
#pragma once

// True when the value exists, whatever its type or data.
bool IsAutoRunRegistered();

// Registers ("\"<this exe>\" /autorun") or removes the value; true on success.
// Removing a value that is not there gives false.
bool SetAutoRun(bool enable);

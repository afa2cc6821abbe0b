// Empties the current user's WinINet URL cache (the browser views' cache).
#pragma once

// Deletes every content entry it can; entries in use stay. Synchronous.
void ClearUrlCache();

// The pure parts of the upgrade check and of download file naming: version
// texts to numbers, the upgrade-range list, list splitting and the file name a
// download takes from its address. Platform-independent.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/core/usage.h"  // OWN_VERSION_NUMBER

// Reads one decimal int from the start of `text` like a stream does: leading
// white space, optional sign, digits up to the first other character. 0 when no
// number is there or it does not fit a signed 32-bit integer.
int32_t ReadLeadingInt(const std::wstring& text);

// "3.0.0.1" -> 3001: every dot removed, then ReadLeadingInt.
int32_t VersionToNumber(std::wstring text);

// Splits at `separator`: every separator ends an item (empty ones included);
// the rest after the last separator is an item only when it is not empty.
std::vector<std::wstring> SplitList(const std::wstring& text, wchar_t separator);

// True when the list ("2000-2999,3000", empty for all) covers `version`.
bool IsInUpgradeRange(const std::wstring& list, int32_t version = OWN_VERSION_NUMBER);

// The file name a download takes from `url`: the last segment of its path,
// without query or fragment. Empty when the path ends in "/" or the segment
// could leave the folder (".", "..", or characters a file name cannot hold).
std::wstring UrlFileName(const std::wstring& url);

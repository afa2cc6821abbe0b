// Small text helpers shared by every subsystem. Platform-independent: the
// native build tests them on Linux, the Windows build uses them as they are.
#pragma once

#include <string>

// C:\x -> C:\x\ ; C:\x\ and the empty text stay as they are.
std::wstring EnsureTrailingBackslash(const std::wstring& text);

// Removes every occurrence of `pattern` from `text` (in place) and returns a
// copy of the result. An empty pattern changes nothing.
std::wstring ReplaceAll(std::wstring& text, const std::wstring& pattern);

// The value after the first "name=" in `url`, up to the next '&' or the end;
// empty when "name=" does not occur. Plain case-sensitive search, no decoding.
std::wstring GetQueryValue(const std::wstring& url, const std::wstring& name);

// Case-sensitive substring test, as the command-line switches are matched.
bool ContainsText(const std::wstring& haystack, const std::wstring& needle);

// True for the addresses the client may hand to a web browser: http, https and
// mailto (scheme compared without regard to case), free of control characters.
bool IsOpenableWebAddress(const std::wstring& url);

// Quotes one argument so that CommandLineToArgvW and the C runtime read it
// back as exactly one argument with the same text.
std::wstring QuoteCommandLineArgument(const std::wstring& arg);

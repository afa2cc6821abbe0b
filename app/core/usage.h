// The usage report that travels as the login page's query, and the local-time
// formatting it uses. Platform-independent; the caller supplies the run count
// and the start-up time so the exact text can be tested.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The client's own version number (file version 3.0.0.0 without its dots).
constexpr int OWN_VERSION_NUMBER = 3000;

// `time` (seconds since 1970) as local time, formatted with wcsftime rules into
// at most 127 characters; empty on a conversion or formatting failure or a null
// pattern.
std::wstring FormatLocalTime(const wchar_t* pattern, std::int64_t time);

// "referer=..&frm=..&version=3000&installtime=..&runcount=..&curtime=..&showlogintype=3",
// plus "&regtimes=1" when the run count is 1. `runCount` is asked twice, once for
// the value and once for the regtimes test, exactly as the settings code counts.
std::wstring ComposeUsageQuery(const std::wstring& referrer, const std::wstring& uid,
                               const std::wstring& installTime,
                               const std::function<int()>& runCount, const std::wstring& curtime);

// `url` followed by "?" and the query, or "&" when the address already has a query.
std::wstring AppendQuery(const std::wstring& url, const std::wstring& query);

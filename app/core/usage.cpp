#include "app/core/usage.h"

#include <ctime>
#include <cwchar>

#include "app/core/text.h"

std::wstring FormatLocalTime(const wchar_t* pattern, std::int64_t time) {
  if (pattern == nullptr) return std::wstring();
  std::tm local{};
#ifdef _WIN32
  const __time64_t t = static_cast<__time64_t>(time);
  if (_localtime64_s(&local, &t) != 0) return std::wstring();
#else
  const std::time_t t = static_cast<std::time_t>(time);
  if (localtime_r(&t, &local) == nullptr) return std::wstring();
#endif
  wchar_t buffer[128] = {};
  if (std::wcsftime(buffer, 128, pattern, &local) == 0) return std::wstring();
  return buffer;
}

std::wstring ComposeUsageQuery(const std::wstring& referrer, const std::wstring& uid,
                               const std::wstring& installTime,
                               const std::function<int()>& runCount, const std::wstring& curtime) {
  std::wstring installDate = installTime.substr(0, 10);
  ReplaceAll(installDate, L"-");
  std::wstring query = L"referer=" + referrer + L"&frm=" + uid + L"&version=" +
                       std::to_wstring(OWN_VERSION_NUMBER) + L"&installtime=" + installDate +
                       L"&runcount=" + std::to_wstring(runCount()) + L"&curtime=" + curtime +
                       L"&showlogintype=3";
  if (runCount() == 1) query += L"&regtimes=1";
  return query;
}

std::wstring AppendQuery(const std::wstring& url, const std::wstring& query) {
  return url + (url.find(L'?') != std::wstring::npos ? L"&" : L"?") + query;
}

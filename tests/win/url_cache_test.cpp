// Clearing the WinINet URL cache of the test prefix: entries of every size go,
// an entry in use does not stop the walk.
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/url_cache.h"
#include "test_support.h"

namespace {

// Adds a cache entry for `url` whose stored headers are `headerChars` long,
// which makes its enumeration record about twice that many bytes.
bool AddEntry(const std::wstring& url, size_t headerChars) {
  wchar_t file[MAX_PATH] = {};
  if (!::CreateUrlCacheEntryW(url.c_str(), 0, L"html", file, 0)) return false;
  if (!WriteFileBytes(file, "<html><body>cached</body></html>")) return false;
  std::wstring headers =
      L"HTTP/1.1 200 OK\r\nX-Padding: " + std::wstring(headerChars, L'p') + L"\r\n\r\n";
  const FILETIME never{};
  return ::CommitUrlCacheEntryW(url.c_str(), file, never, never, NORMAL_CACHE_ENTRY, &headers[0],
                                static_cast<DWORD>(headers.size()), nullptr, nullptr) != FALSE;
}

bool HasEntry(const std::wstring& url) {
  DWORD size = 0;
  if (::GetUrlCacheEntryInfoW(url.c_str(), nullptr, &size)) return true;
  return ::GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

std::vector<std::wstring> Remaining(const std::vector<std::wstring>& urls) {
  std::vector<std::wstring> left;
  for (const std::wstring& url : urls) {
    if (HasEntry(url)) left.push_back(url);
  }
  return left;
}

TEST(UrlCache, ClearingRemovesEntriesLargerAndSmallerThanTheFirstBuffer) {
  ClearUrlCache();  // an empty or nearly empty cache: nothing to do, nothing fails
  ClearUrlCache();

  // Every entry larger than the first 4096-byte buffer, in growing sizes, so
  // the first fetch and later ones both have to ask again with more room.
  std::vector<std::wstring> urls;
  const size_t sizes[] = {3000, 6000, 12000, 100, 25000, 40};
  for (size_t i = 0; i < std::size(sizes); ++i) {
    urls.push_back(L"http://127.0.0.1:1/cache/" + std::to_wstring(i) + L".html");
    ASSERT_TRUE(AddEntry(urls.back(), sizes[i])) << i;
  }
  ASSERT_EQ(Remaining(urls), urls);
  ClearUrlCache();
  EXPECT_EQ(Remaining(urls), std::vector<std::wstring>{});
}

TEST(UrlCache, AnEntryInUseDoesNotStopTheWalk) {
  std::vector<std::wstring> urls;
  for (int i = 0; i < 8; ++i) {
    urls.push_back(L"http://127.0.0.1:1/busy/" + std::to_wstring(i) + L".html");
    ASSERT_TRUE(AddEntry(urls.back(), i % 2 == 0 ? 50 : 5000)) << i;
  }
  // Opened by someone: the entry cannot be deleted while it is in use.
  const std::wstring busy = urls[3];
  std::vector<BYTE> info(64 * 1024);
  DWORD size = static_cast<DWORD>(info.size());
  ASSERT_TRUE(::RetrieveUrlCacheEntryFileW(
      busy.c_str(), reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(info.data()), &size, 0));

  ClearUrlCache();
  std::vector<std::wstring> others = urls;
  others.erase(others.begin() + 3);
  EXPECT_EQ(Remaining(others), std::vector<std::wstring>{});

  ::UnlockUrlCacheEntryFileW(busy.c_str(), 0);
  ::DeleteUrlCacheEntryW(busy.c_str());
}

}  // namespace

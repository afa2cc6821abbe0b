// Clearing the WinINet URL cache: entries the test puts there first, one larger
// than the first fetch buffer, and a cache that is already empty.
#include <windows.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/internet_handle.h"
#include "net/url_cache.h"
#include "net_test_support.h"
#include "test_support.h"

namespace {

const wchar_t kMarker[] = L"qb-cache-test";

// Source URLs of the content entries that carry the test's marker or host.
std::vector<std::wstring> TestEntries() {
  std::vector<std::wstring> urls;
  std::vector<BYTE> buffer(64 * 1024);
  auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data());
  DWORD size = static_cast<DWORD>(buffer.size());
  HANDLE find = ::FindFirstUrlCacheEntryW(nullptr, entry, &size);
  if (find == nullptr) return urls;
  do {
    const std::wstring url = entry->lpszSourceUrlName;
    if (url.find(kMarker) != std::wstring::npos ||
        url.find(L"127.0.0.1:" + ServerPort()) != std::wstring::npos) {
      urls.push_back(url);
    }
    size = static_cast<DWORD>(buffer.size());
  } while (::FindNextUrlCacheEntryW(find, entry, &size));
  ::FindCloseUrlCache(find);
  return urls;
}

bool PutEntry(const std::wstring& url, const std::wstring& headers) {
  wchar_t file[MAX_PATH] = {};
  if (!::CreateUrlCacheEntryW(url.c_str(), 0, L"txt", file, 0)) return false;
  if (!WriteFileBytes(file, "cached body")) return false;
  FILETIME none = {};
  return ::CommitUrlCacheEntryW(url.c_str(), file, none, none, NORMAL_CACHE_ENTRY,
                                headers.empty() ? nullptr : const_cast<wchar_t*>(headers.c_str()),
                                static_cast<DWORD>(headers.size()), nullptr, nullptr) != FALSE;
}

// Fetches an address the ordinary way, which leaves it in the cache.
void FetchThroughWinInet(const std::wstring& url) {
  ScopedInternetHandle session(::InternetOpenW(L"qb-test", 0, nullptr, nullptr, 0));
  ASSERT_TRUE(session);
  ScopedInternetHandle request(::InternetOpenUrlW(session.Get(), url.c_str(), nullptr, 0, 0, 0));
  ASSERT_TRUE(request);
  char buffer[4096];
  DWORD read = 0;
  while (::InternetReadFile(request.Get(), buffer, sizeof(buffer), &read) && read > 0) {
  }
}

TEST(ClearUrlCache, EmptiesAFilledCacheAndLeavesAnEmptyOneAlone) {
  ASSERT_TRUE(PutEntry(std::wstring(L"http://example.invalid/") + kMarker + L"/small", L""));
  // Headers make this entry larger than the first 4096-byte fetch buffer.
  const std::wstring headers =
      L"HTTP/1.1 200 OK\r\nX-Pad: " + std::wstring(6000, L'p') + L"\r\n\r\n";
  ASSERT_TRUE(PutEntry(std::wstring(L"http://example.invalid/") + kMarker + L"/large", headers));
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(PutEntry(
        std::wstring(L"http://example.invalid/") + kMarker + L"/after" + std::to_wstring(i), L""));
  }
  FetchThroughWinInet(ServerUrl(L"/ok/cached-by-wininet.txt"));
  ASSERT_GE(TestEntries().size(), 7u);

  ClearUrlCache();
  EXPECT_EQ(TestEntries(), std::vector<std::wstring>{});

  ClearUrlCache();  // nothing left to walk
  EXPECT_EQ(TestEntries(), std::vector<std::wstring>{});
}

}  // namespace

// Clearing the WinINet URL cache: entries the test puts there first (fetched
// through WinINet or stored directly, of every size around the first fetch
// buffer), an entry in use, and a cache that is already empty.
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

// Source URLs of the cache's content entries (no pattern: neither cookies nor
// history).
std::vector<std::wstring> ContentEntries() {
  std::vector<std::wstring> urls;
  std::vector<BYTE> buffer(64 * 1024);
  auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data());
  DWORD size = static_cast<DWORD>(buffer.size());
  HANDLE find = ::FindFirstUrlCacheEntryW(nullptr, entry, &size);
  if (find == nullptr) return urls;
  do {
    urls.push_back(entry->lpszSourceUrlName);
    size = static_cast<DWORD>(buffer.size());
  } while (::FindNextUrlCacheEntryW(find, entry, &size));
  ::FindCloseUrlCache(find);
  return urls;
}

bool Contains(const std::vector<std::wstring>& urls, const std::wstring& url) {
  for (const std::wstring& u : urls) {
    if (u == url) return true;
  }
  return false;
}

size_t CountWithMarker(const std::vector<std::wstring>& urls) {
  size_t count = 0;
  for (const std::wstring& u : urls) count += u.find(kMarker) != std::wstring::npos ? 1 : 0;
  return count;
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

// Stored response headers `padding` characters longer than a bare status line;
// an entry's enumeration record grows about twice that.
std::wstring Padded(size_t padding) {
  return L"HTTP/1.1 200 OK\r\nX-Pad: " + std::wstring(padding, L'p') + L"\r\n\r\n";
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
  ASSERT_TRUE(
      PutEntry(std::wstring(L"http://example.invalid/") + kMarker + L"/large", Padded(6000)));
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(PutEntry(
        std::wstring(L"http://example.invalid/") + kMarker + L"/after" + std::to_wstring(i), L""));
  }
  const std::wstring fetched = ServerUrl(L"/ok/cached-by-wininet.txt");
  FetchThroughWinInet(fetched);
  const std::vector<std::wstring> before = ContentEntries();
  ASSERT_EQ(CountWithMarker(before), 7u);
  ASSERT_TRUE(Contains(before, fetched));

  ClearUrlCache();
  // Every content entry goes, not only the game's; none here is in use.
  EXPECT_EQ(ContentEntries(), std::vector<std::wstring>{});

  ClearUrlCache();  // an empty cache: nothing to walk, nothing breaks
  EXPECT_EQ(ContentEntries(), std::vector<std::wstring>{});
  // And the cache still works afterwards.
  FetchThroughWinInet(fetched);
  EXPECT_TRUE(Contains(ContentEntries(), fetched));
}

TEST(ClearUrlCache, RemovesEntriesLargerAndSmallerThanTheFirstBuffer) {
  ClearUrlCache();  // an empty or nearly empty cache: nothing to do, nothing fails
  ClearUrlCache();

  // Every entry larger than the first 4096-byte buffer, in growing sizes, so
  // the first fetch and later ones both have to ask again with more room.
  std::vector<std::wstring> urls;
  const size_t sizes[] = {3000, 6000, 12000, 100, 25000, 40};
  for (size_t i = 0; i < std::size(sizes); ++i) {
    urls.push_back(L"http://127.0.0.1:1/cache/" + std::to_wstring(i) + L".html");
    ASSERT_TRUE(PutEntry(urls.back(), Padded(sizes[i]))) << i;
  }
  ASSERT_EQ(Remaining(urls), urls);
  ClearUrlCache();
  EXPECT_EQ(Remaining(urls), std::vector<std::wstring>{});
}

TEST(ClearUrlCache, AnEntryInUseDoesNotStopTheWalk) {
  std::vector<std::wstring> urls;
  for (int i = 0; i < 8; ++i) {
    urls.push_back(L"http://127.0.0.1:1/busy/" + std::to_wstring(i) + L".html");
    ASSERT_TRUE(PutEntry(urls.back(), Padded(i % 2 == 0 ? 50 : 5000))) << i;
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

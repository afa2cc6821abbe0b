#include "net/url_cache.h"

#include <windows.h>
#include <wininet.h>

#include <new>

namespace {

// The enumeration's entry buffer, grown to the size the platform asks for.
class EntryBuffer {
 public:
  EntryBuffer() { Resize(4096); }
  ~EntryBuffer() { delete[] bytes_; }
  EntryBuffer(const EntryBuffer&) = delete;
  EntryBuffer& operator=(const EntryBuffer&) = delete;

  bool Resize(DWORD size) {
    delete[] bytes_;
    // Never below the structure itself, whatever size a failed call reported.
    size_ = size < sizeof(INTERNET_CACHE_ENTRY_INFOW) ? DWORD{sizeof(INTERNET_CACHE_ENTRY_INFOW)}
                                                      : size;
    bytes_ = new (std::nothrow) BYTE[size_];
    return bytes_ != nullptr;
  }
  // The entry, its size field set to the buffer's size; `size` receives it too.
  INTERNET_CACHE_ENTRY_INFOW* Prepare(DWORD* size) {
    auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(bytes_);
    entry->dwStructSize = size_;
    *size = size_;
    return entry;
  }
  bool Valid() const { return bytes_ != nullptr; }

 private:
  BYTE* bytes_ = nullptr;
  DWORD size_ = 0;
};

}  // namespace

void ClearUrlCache() {
  EntryBuffer buffer;
  if (!buffer.Valid()) return;
  DWORD size = 0;
  INTERNET_CACHE_ENTRY_INFOW* entry = buffer.Prepare(&size);
  HANDLE find = ::FindFirstUrlCacheEntryW(nullptr, entry, &size);
  if (find == nullptr) {
    if (!buffer.Resize(size)) return;
    entry = buffer.Prepare(&size);
    find = ::FindFirstUrlCacheEntryW(nullptr, entry, &size);
  }
  if (find == nullptr) return;
  for (;;) {
    ::DeleteUrlCacheEntryW(entry->lpszSourceUrlName);
    entry = buffer.Prepare(&size);
    if (::FindNextUrlCacheEntryW(find, entry, &size)) continue;
    if (!buffer.Resize(size)) break;
    entry = buffer.Prepare(&size);
    if (!::FindNextUrlCacheEntryW(find, entry, &size)) break;
  }
  ::FindCloseUrlCache(find);
}

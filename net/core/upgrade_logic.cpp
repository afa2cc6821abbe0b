#include "net/core/upgrade_logic.h"

#include <cwctype>

#include "app/core/text.h"

int32_t ReadLeadingInt(const std::wstring& text) {
  size_t i = 0;
  while (i < text.size() && std::iswspace(static_cast<wint_t>(text[i]))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
    negative = text[i] == L'-';
    ++i;
  }
  if (i >= text.size() || text[i] < L'0' || text[i] > L'9') return 0;
  int64_t value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + (text[i] - L'0');
    // Past the range of a signed 32-bit value: the stream read fails.
    if (value > int64_t{INT32_MAX} + 1) return 0;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return 0;
  return static_cast<int32_t>(value);
}

int32_t VersionToNumber(std::wstring text) {
  ReplaceAll(text, L".");
  return ReadLeadingInt(text);
}

std::vector<std::wstring> SplitList(const std::wstring& text, wchar_t separator) {
  std::vector<std::wstring> items;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == separator) {
      items.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  if (start < text.size()) items.push_back(text.substr(start));
  return items;
}

bool IsInUpgradeRange(const std::wstring& list, int32_t version) {
  if (list.empty()) return true;
  for (const std::wstring& item : SplitList(list, L',')) {
    if (item.find(L'-') == std::wstring::npos) {
      if (ReadLeadingInt(item) == version) return true;
      continue;
    }
    const std::vector<std::wstring> bounds = SplitList(item, L'-');
    if (bounds.size() != 2) continue;
    if (ReadLeadingInt(bounds[0]) <= version && ReadLeadingInt(bounds[1]) >= version) return true;
  }
  return false;
}

std::wstring UrlFileName(const std::wstring& url) {
  std::wstring path = url.substr(0, url.find_first_of(L"?#"));
  const size_t schemeEnd = path.find(L"://");
  if (schemeEnd != std::wstring::npos) {
    const size_t pathStart = path.find(L'/', schemeEnd + 3);
    path = pathStart == std::wstring::npos ? std::wstring() : path.substr(pathStart);
  }
  const size_t slash = path.rfind(L'/');
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  // Windows drops trailing dots and spaces, so a name made only of them would
  // name the folder itself or its parent.
  if (name.find_first_not_of(L". ") == std::wstring::npos) return std::wstring();
  for (wchar_t c : name) {
    if (c < 0x20 || std::wstring(L"\\/:*?\"<>|").find(c) != std::wstring::npos) {
      return std::wstring();
    }
  }
  return name;
}

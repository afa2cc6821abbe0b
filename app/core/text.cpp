#include "app/core/text.h"

#include <cwctype>

std::wstring EnsureTrailingBackslash(const std::wstring& text) {
  if (text.empty() || text.back() == L'\\') return text;
  return text + L'\\';
}

std::wstring ReplaceAll(std::wstring& text, const std::wstring& pattern) {
  if (pattern.empty()) return text;
  std::wstring::size_type pos = text.find(pattern);
  while (pos != std::wstring::npos) {
    text.erase(pos, pattern.size());
    pos = text.find(pattern, pos);
  }
  return text;
}

std::wstring GetQueryValue(const std::wstring& url, const std::wstring& name) {
  const std::wstring pattern = name + L'=';
  const std::wstring::size_type pos = url.find(pattern);
  if (pos == std::wstring::npos) return std::wstring();
  const std::wstring::size_type start = pos + pattern.size();
  const std::wstring::size_type amp = url.find(L'&', start);
  return url.substr(start, amp == std::wstring::npos ? std::wstring::npos : amp - start);
}

bool ContainsText(const std::wstring& haystack, const std::wstring& needle) {
  return haystack.find(needle) != std::wstring::npos;
}

namespace {

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
  std::wstring::size_type i = 0;
  for (; prefix[i] != L'\0'; ++i) {
    if (i >= text.size()) return false;
    if (std::towlower(static_cast<wint_t>(text[i])) != static_cast<wint_t>(prefix[i])) return false;
  }
  return true;
}

}  // namespace

bool IsOpenableWebAddress(const std::wstring& url) {
  for (wchar_t c : url) {
    if (c < 0x20 || c == 0x7F) return false;
  }
  // "http://x" and "https://x" need a host after the slashes; mailto needs a recipient.
  if (StartsWithNoCase(url, L"http://")) return url.size() > 7;
  if (StartsWithNoCase(url, L"https://")) return url.size() > 8;
  if (StartsWithNoCase(url, L"mailto:")) return url.size() > 7;
  return false;
}

std::wstring QuoteCommandLineArgument(const std::wstring& arg) {
  std::wstring out = L"\"";
  std::wstring::size_type backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') {
      // Backslashes before a quote are doubled, and the quote itself escaped.
      out.append(backslashes * 2 + 1, L'\\');
    } else {
      out.append(backslashes, L'\\');
    }
    backslashes = 0;
    out += c;
  }
  // Backslashes before the closing quote are doubled so it stays a quote.
  out.append(backslashes * 2, L'\\');
  out += L'"';
  return out;
}

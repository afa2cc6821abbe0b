// libFuzzer target: version numbers, range lists, splitting and file naming
// must never crash, and their results must keep their basic promises.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/core/upgrade_logic.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::wstring text;
  for (size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
  }
  VersionToNumber(text);
  IsInUpgradeRange(text);
  for (wchar_t sep : {L',', L'-'}) {
    size_t joined = 0;
    const auto items = SplitList(text, sep);
    for (const auto& item : items) {
      if (item.find(sep) != std::wstring::npos) std::abort();
      joined += item.size() + 1;
    }
    if (joined > text.size() + 1) std::abort();
  }
  const std::wstring name = UrlFileName(text);
  if (name.find_first_of(L"\\/:") != std::wstring::npos) std::abort();
  if (!name.empty() && name.find_first_not_of(L". ") == std::wstring::npos) std::abort();
  return 0;
}

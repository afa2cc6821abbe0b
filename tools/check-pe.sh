#!/usr/bin/env bash
# Checks the shipped QaBrisel.exe as a file: a Windows GUI program (32-bit x86 unless QB_PE_FORMAT says otherwise)
# that needs no DLL but the system's own, with its icon, version, manifest and art.
set -euo pipefail
exe=${1:?path to QaBrisel.exe}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
headers=$("$objdump" -p "$exe")
fail() { echo "check-pe: $*" >&2; exit 1; }

format=${QB_PE_FORMAT:-pei-i386}
grep -q "file format $format" <<<"$headers" || fail "not a $format file"
grep -qE '^Subsystem\s+0*2\s' <<<"$headers" || fail "not a GUI-subsystem program"
system_dlls='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comctl32|wininet|gdiplus|msimg32|windowscodecs|msvcrt|comdlg32|version|uxtheme|urlmon|crypt32|ws2_32|api-ms-win-.*)\.dll$'
while read -r dll; do
  grep -qiE "$system_dlls" <<<"$dll" || fail "imports $dll, which is not a system DLL"
done < <(grep -E '^\s*DLL Name:' <<<"$headers" | awk '{print $3}')

resources=$("${WINDRES:-i686-w64-mingw32-windres}" --input-format=coff --output-format=rc "$exe" 2>/dev/null ||
            true)
for want in 'ICON' 'VERSIONINFO' 'FILEVERSION 3, 0, 0, 0' 'PRODUCTVERSION 3, 0, 0, 0' \
            '"Ostrevane"' '"QaBrisel"'; do
  grep -qF "$want" <<<"$resources" || fail "resource missing: $want"
done
# The art: "PNG" resources 170 and 183-227, each starting with the PNG signature
# (its first four bytes read as one little-endian word), and 220 as a bitmap.
for id in 170 $(seq 183 227); do
  if [ "$id" = 220 ]; then
    grep -qF '220 2 /* RT_BITMAP */' <<<"$resources" || fail "bitmap 220 missing"
  else
    grep -A2 -E "^$id \"PNG\"\$" <<<"$resources" | grep -q '0x474e5089L' || fail "PNG $id missing"
  fi
done
grep -qF 'asInvoker' "$exe" || fail "manifest without asInvoker"
echo "check-pe: $exe is a self-contained $format Windows GUI program ($(stat -c %s "$exe") bytes)"

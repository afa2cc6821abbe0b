#!/usr/bin/env bash
# Checks a built installer as a file: a Windows GUI program of the expected
# architecture (QB_PE_FORMAT, default 32-bit x86) carrying an NSIS archive and
# the product's version block (QB_VERSION, default 3.0.0.0).
set -euo pipefail
exe=${1:?path to OstrevaneSetup.exe}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
format=${QB_PE_FORMAT:-pei-i386}
version=${QB_VERSION:-3.0.0.0}
fail() { grep -qaF 'requireAdministrator' "$exe" || fail "manifest does not ask for elevation"
echo "check-installer: $*" >&2; exit 1; }

headers=$("$objdump" -p "$exe")
grep -q "file format $format" <<<"$headers" || fail "not a $format file"
grep -qE '^Subsystem\s+0*2\s' <<<"$headers" || fail "not a GUI-subsystem program"
grep -qaF 'NullsoftInst' "$exe" || fail "no NSIS archive inside"

resources=$("${WINDRES:-i686-w64-mingw32-windres}" --input-format=coff --output-format=rc "$exe" 2>/dev/null ||
            true)
for want in "FILEVERSION ${version//./, }" "PRODUCTVERSION ${version//./, }" '"Ostrevane"' \
            "\"$version\""; do
  grep -qF "$want" <<<"$resources" || fail "missing: $want"
done
grep -qaF 'requireAdministrator' "$exe" || fail "manifest does not ask for elevation"
echo "check-installer: $exe is a $format NSIS installer of version $version ($(stat -c %s "$exe") bytes)"

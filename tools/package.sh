#!/usr/bin/env bash
# Builds a release and lays it out as the operator's download host serves it:
#
#   OUT/Jorva/kelmi/official/Jorvakelmi.exe   the installer (the client downloads it
#                                             as its upgrader and starts it /S /KVUPGRADE)
#   OUT/Jorva/kelmi/official/app.ini          the version file: [version] currentversion,
#                                             upgraderange
#
# Usage: tools/package.sh [--preset windows|windows64 | --installer FILE] [--out DIR]
#                         [--current-version X.Y.Z.W] [--upgrade-range LIST]
#   --preset           windows (default): the 32-bit product; windows64: the build the
#                      Wine tests run
#   --installer        lay out an installer that is already built; nothing is built
#   --out              default artifacts/release
#   --current-version  default: the project's version (CMakeLists.txt)
#   --upgrade-range    client versions without dots that are to upgrade, e.g.
#                      2000-2999,3000; empty (default) means every version
# Branding: OPERATOR_WEB_HOST and OPERATOR_DOWNLOAD_HOST in the environment are passed
# to CMake as the cache variables of the same names.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

preset=windows
out=$root/artifacts/release
current=""
range=""
installer=""
while [ $# -gt 0 ]; do
  case $1 in
    --preset) preset=${2:?}; shift 2 ;;
    --installer) installer=$(realpath -m "${2:?}"); shift 2 ;;
    --out) out=$(realpath -m "${2:?}"); shift 2 ;;
    --current-version) current=${2:?}; shift 2 ;;
    --upgrade-range) range=${2-}; shift 2 ;;
    *) echo "package.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done
cd "$root"
case $preset in windows|windows64) ;; *) echo "package.sh: preset windows or windows64" >&2; exit 2 ;; esac
if [ -z "$current" ]; then
  current=$(sed -nE 's/^project\(QaBrisel VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)
fi
# The client reads the version with its dots removed as one number (3.0.0.1 is
# 3001, but 3.0.1 would be 301) and the range as numbers, "," and "-": anything
# else would silently mean something else, so only those forms are published.
[[ $current =~ ^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$ ]] ||
  { echo "package.sh: version '$current' is not of the form A.B.C.D" >&2; exit 2; }
[[ $range =~ ^[0-9,-]*$ ]] || { echo "package.sh: bad upgrade range '$range'" >&2; exit 2; }

if [ -z "$installer" ]; then
  bash tools/install-deps.sh
  brand=()
  [ -n "${OPERATOR_WEB_HOST:-}" ] && brand+=("-DOPERATOR_WEB_HOST=$OPERATOR_WEB_HOST")
  [ -n "${OPERATOR_DOWNLOAD_HOST:-}" ] && brand+=("-DOPERATOR_DOWNLOAD_HOST=$OPERATOR_DOWNLOAD_HOST")
  cmake --preset "$preset" "${brand[@]}" >/dev/null
  cmake --build --preset "$preset" -j 2 --target installer
  ctest --preset "$preset" -R '^(pe_check|installer_check)$' --output-on-failure >/dev/null
  installer=build/$preset/OstrevaneSetup.exe
fi
[ -f "$installer" ] || { echo "package.sh: no installer at $installer" >&2; exit 2; }

site=$out/Jorva/kelmi/official
mkdir -p "$site"
cp "$installer" "$site/Jorvakelmi.exe"
printf '[version]\r\ncurrentversion=%s\r\nupgraderange=%s\r\n' "$current" "$range" >"$site/app.ini"
echo "package.sh: $site/Jorvakelmi.exe ($(stat -c %s "$site/Jorvakelmi.exe") bytes)"
echo "package.sh: $site/app.ini: currentversion=$current upgraderange=$range"

#!/usr/bin/env bash
# Makes the Wine prefix $WINEPREFIX that the client and its tests run in: no
# Mono or Gecko install prompts, and the Chinese faces the client asks for by
# name ("微软雅黑", "宋体") mapped to Noto Sans CJK SC from fonts-noto-cjk, as a
# Chinese Windows has them.
set -uo pipefail
: "${WINEPREFIX:?WINEPREFIX must name the prefix}"
WINEDLLOVERRIDES="mscoree,mshtml=" timeout -k 10 300 wineboot -i || exit
reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
{
  printf '\xff\xfe'
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
    for face in 微软雅黑 "Microsoft YaHei" 宋体 SimSun 新宋体 NSimSun; do
      printf '"%s"="Noto Sans CJK SC"\r\n' "$face"
    done
  } | iconv -f UTF-8 -t UTF-16LE
} >"$reg"
timeout 60 wine regedit /S "$(winepath -w "$reg")" || exit
timeout 60 wineserver -w

#!/usr/bin/env bash
# Draws the application icon (res/QaBrisel.ico) at 16, 24, 32, 48 and 128 px with
# ImageMagick. Each size is drawn at its own size (small ones with less detail),
# not scaled down from one picture. Run from anywhere; writes res/QaBrisel.ico.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

draw() {  # size detail(0/1)
  local s=$1 detail=$2
  local r=$(( s * 22 / 100 ))                 # corner radius
  local m=$(( s > 24 ? s / 32 : 0 ))          # margin
  local e=$(( s - 1 - m ))
  local cx=$(( s / 2 )) cy=$(( s / 2 ))
  # Tile: deep night-blue to violet gradient in a rounded square.
  convert -size "${s}x${s}" gradient:'#3b1e6e'-'#0d1a3a' \
    \( -size "${s}x${s}" xc:none -fill white -draw "roundrectangle $m,$m $e,$e $r,$r" \) \
    -compose CopyOpacity -composite "$work/tile.png"
  # Emblem: a golden crystal (diamond) with a light facet, over a ring.
  local top=$(( s * 16 / 100 )) bot=$(( s * 84 / 100 )) half=$(( s * 24 / 100 ))
  local mid=$(( s * 42 / 100 ))
  local ring=$(( s * 34 / 100 )) rw=$(( s >= 32 ? s / 16 : 1 ))
  local args=(-fill none -stroke '#f3c969' -strokewidth "$rw"
              -draw "circle $cx,$cy $((cx + ring)),$cy")
  args+=(-stroke '#5a3b00' -strokewidth "$(( s >= 48 ? 2 : 1 ))" -fill '#f0b83a'
         -draw "polygon $cx,$top $((cx + half)),$mid $cx,$bot $((cx - half)),$mid")
  args+=(-stroke none -fill '#fff1b8'
         -draw "polygon $cx,$top $((cx - half)),$mid $cx,$((mid + s / 10))")
  if [ "$detail" = 1 ]; then
    args+=(-fill '#c98a12' -draw "polygon $cx,$bot $((cx + half)),$mid $cx,$((mid + s / 10))")
    args+=(-fill '#ffffffcc' -draw "circle $((cx - half / 3)),$((top + s / 7)) $((cx - half / 3 + s / 40 + 1)),$((top + s / 7))")
    args+=(-fill none -stroke '#8f6cff88' -strokewidth "$(( s / 64 + 1 ))"
           -draw "roundrectangle $((m + s / 32)),$((m + s / 32)) $((e - s / 32)),$((e - s / 32)) $r,$r")
  fi
  convert "$work/tile.png" "${args[@]}" "PNG32:$work/icon-$s.png"
}

draw 16 0
draw 24 0
draw 32 1
draw 48 1
draw 128 1
convert "$work"/icon-16.png "$work"/icon-24.png "$work"/icon-32.png "$work"/icon-48.png \
  "$work"/icon-128.png "$root/res/QaBrisel.ico"
if [ -n "${ICON_PREVIEW:-}" ]; then
  convert "$work"/icon-128.png \( "$work"/icon-48.png -background none -gravity center -extent 128x128 \) \
    \( "$work"/icon-32.png -background none -gravity center -extent 128x128 \) \
    \( "$work"/icon-16.png -background none -gravity center -extent 128x128 \) +append "$ICON_PREVIEW"
fi

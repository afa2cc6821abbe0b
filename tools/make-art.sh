#!/usr/bin/env bash
# Draws the launcher's art into res/art/: the login backdrop (170), the login
# window's buttons, the game window's and the QQ window's title bars, borders,
# icon and buttons, the key-colour fill (183, and 220 as a bitmap).
#
# One skin: deep night blue with teal light and gold trim. Button pictures are
# cut out of the same composition the backdrop is made of, so a button drawn by
# the login window over the backdrop lines up pixel for pixel with what is under
# it. Pictures that sit on the key-colour login window have only fully opaque or
# fully transparent pixels: a half-transparent pixel there would mix with the
# key colour and show a pink fringe.
#
# The output is byte-for-byte the same on every run (no time or metadata chunks,
# nothing random). Usage: tools/make-art.sh [--preview]
#   --preview  also writes build/art-preview.png: the backdrop with the login
#              window over it on a grey desktop, the game window's title bar at
#              1250 pixels and the QQ login window's frame.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/res/art
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
preview=0
[ "${1:-}" = --preview ] && preview=1

if command -v magick >/dev/null 2>&1; then im=(magick); else im=(convert); fi
# The simplified-Chinese face of Noto Sans CJK. The .ttc holds the JP, KR, SC,
# TC and HK faces; ImageMagick takes a face by its fontconfig name, so the file
# is only checked for here.
cjk_file=$(fc-list -f '%{file}\n' ':lang=zh:family=Noto Sans CJK SC:style=Bold' | head -n1)
[ -n "$cjk_file" ] || { echo "make-art: Noto Sans CJK SC Bold missing (fonts-noto-cjk)" >&2; exit 1; }
cjk=Noto-Sans-CJK-SC-Bold
cjk_regular=Noto-Sans-CJK-SC
serif=Noto-Serif-CJK-SC-Bold

mkdir -p "$out"
key='rgb(255,128,255)'
gold='#e2bd68'
gold_light='#fbe6a8'
gold_dark='#8a6a2c'

png_opts=(+repage -strip -define png:exclude-chunk=all -define png:bit-depth=8)
save_rgb() {  # source target
  "${im[@]}" "$1" -background black -alpha remove -alpha off "${png_opts[@]}" \
    -define png:color-type=2 "PNG24:$2"
}
save_rgba() {
  "${im[@]}" "$1" "${png_opts[@]}" -define png:color-type=6 "PNG32:$2"
}
# Pixels of `face` become either fully opaque or fully transparent.
hard_alpha() {  # file
  "${im[@]}" "$1" -channel A -threshold 50% +channel "$1"
}

# The same -draw arguments moved one pixel right and down, for a drop shadow.
offset_draws() {  # array-name -draw primitive ...
  local -n into=$1
  shift
  for a in "$@"; do
    if [ "$a" = -draw ]; then into+=("$a"); else into+=("translate 1,1 $a"); fi
  done
}

# ---------------------------------------------------------------- backdrop ---
W=1024
H=700
# Panel (the opaque frame), the page frame around the login page (the page
# itself is at 456,164 size 485x451) and the landscape to its left.
px0=28 py0=92 px1=996 py1=664
fx0=452 fy0=160 fx1=944 fy1=618
sx0=44 sy0=172 sx1=440 sy1=648

# Shadow: soft, fading out well before the edges of the picture.
"${im[@]}" -size ${W}x${H} xc:none -fill black \
  -draw "roundrectangle $px0,$((py0 + 6)) $px1,$((py1 + 6)) 18,18" \
  -channel A -blur 0x11 -evaluate multiply 0.72 -level 3%,100% +channel \
  "$work/shadow.png"

# Panel body: vertical night-blue gradient with a faint teal glow at the top.
"${im[@]}" -size ${W}x${H} gradient:'#143459'-'#07111f' \
  \( -size ${W}x${H} radial-gradient:'#2a7d9455'-'#00000000' -resize 140x60% \
     -background none -gravity north -extent ${W}x${H} \) -compose over -composite \
  \( -size ${W}x${H} xc:black -fill white \
     -draw "roundrectangle $px0,$py0 $px1,$py1 16,16" \) \
  -alpha off -compose CopyOpacity -composite "$work/panel.png"

# Landscape: night sky, moon, stars, mountain ridges and a castle, drawn from a
# fixed seed so every run draws the same.
python3 - "$work" $((sx1 - sx0)) $((sy1 - sy0)) <<'PY'
import random, sys
work, w, h = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rnd = random.Random(3000)
m = []
# stars
for _ in range(140):
    x, y = rnd.uniform(0, w), rnd.uniform(0, h * 0.55)
    r = rnd.choice([0.5, 0.6, 0.7, 0.9, 1.2])
    a = rnd.uniform(0.35, 0.95)
    m.append("fill rgba(255,246,220,%.2f) circle %.1f,%.1f %.1f,%.1f" % (a, x, y, x + r, y))
def ridge(base, amp, step, colour, seed):
    r = random.Random(seed)
    pts, x, y = [(0, h)], 0.0, base
    while x <= w + step:
        y = min(max(y + r.uniform(-amp, amp), base - amp * 3), base + amp * 2)
        pts.append((x, y))
        x += r.uniform(step * 0.6, step * 1.4)
    pts.append((w, h))
    m.append("fill %s polygon %s" % (colour, " ".join("%.1f,%.1f" % p for p in pts)))
ridge(h * 0.58, 16, 26, "#17405a", 11)
ridge(h * 0.68, 13, 22, "#10304a", 12)
# castle on the near hill
cx, cy = w * 0.62, h * 0.70
hill = "#0a2136"
m.append("fill %s polygon %.1f,%.1f %.1f,%.1f %.1f,%.1f %.1f,%.1f %.1f,%.1f" %
         (hill, cx - 170, h, cx - 110, cy + 12, cx + 90, cy + 8, cx + 160, cy + 60, cx + 200, h))
towers = [(-58, 26, 70), (-30, 20, 98), (-6, 30, 140), (26, 20, 104), (52, 24, 76)]
for dx, tw, th in towers:
    x0, x1, top = cx + dx - tw / 2, cx + dx + tw / 2, cy - th
    m.append("fill %s rectangle %.1f,%.1f %.1f,%.1f" % (hill, x0, top, x1, cy + 20))
    m.append("fill %s polygon %.1f,%.1f %.1f,%.1f %.1f,%.1f" %
             (hill, x0 - 4, top + 1, cx + dx, top - tw * 1.25, x1 + 4, top + 1))
    for k in range(int(th // 30)):
        wy = top + 14 + k * 26
        if rnd.random() < 0.7:
            m.append("fill #f5c86a rectangle %.1f,%.1f %.1f,%.1f" %
                     (cx + dx - 2, wy, cx + dx + 2, wy + 6))
m.append("fill %s rectangle %.1f,%.1f %.1f,%.1f" % (hill, cx - 62, cy - 34, cx + 64, cy + 20))
for k in range(11):
    x = cx - 62 + k * 12
    m.append("fill %s rectangle %.1f,%.1f %.1f,%.1f" % (hill, x, cy - 41, x + 6, cy - 34))
# a banner on the keep
m.append("fill #c9a24a polygon %.1f,%.1f %.1f,%.1f %.1f,%.1f" %
         (cx - 6, cy - 178, cx + 14, cy - 172, cx - 6, cy - 166))
m.append("stroke #c9a24a stroke-width 1 line %.1f,%.1f %.1f,%.1f" % (cx - 6, cy - 180, cx - 6, cy - 140))
m.append("stroke none")
ridge(h * 0.86, 10, 18, "#061726", 13)
# pines in front, thinning out towards the middle
for tx, th in [(8, 120), (30, 150), (54, 96), (76, 70), (318, 64), (338, 104), (362, 140),
               (384, 116)]:
    base = h - 18
    for k in range(4):
        tw = th * (0.34 - k * 0.06)
        ty = base - th * (0.25 + k * 0.22)
        m.append("fill #030c16 polygon %.1f,%.1f %.1f,%.1f %.1f,%.1f" %
                 (tx - tw, ty + th * 0.3, tx, ty - th * 0.12, tx + tw, ty + th * 0.3))
    m.append("fill #030c16 rectangle %.1f,%.1f %.1f,%.1f" % (tx - 3, base - th * 0.2, tx + 3, h))
m.append("fill #030c16 rectangle 0,%d %d,%d" % (h - 20, w, h))
open(work + "/scene.mvg", "w").write("\n".join(m) + "\n")
PY
sw=$((sx1 - sx0)) sh=$((sy1 - sy0))
"${im[@]}" -size ${sw}x${sh} gradient:'#0a1f3a'-'#1d5b70' \
  \( -size ${sw}x${sh} xc:'#ffe9b000' -fill '#ffe9b070' -draw "circle 112,118 112,176" \
     -blur 0x22 \) -compose over -composite \
  -fill '#fff6dc' -draw "circle 112,118 112,150" \
  -fill '#e8dcbf70' -draw "circle 100,110 100,118" -draw "circle 124,132 124,137" \
  -draw "circle 118,101 118,104" \
  \( -size ${sw}x${sh} xc:'#4fc3d000' -fill '#4fc3d040' -draw "ellipse 200,300 260,40 0,360" \
     -blur 0x30 \) -compose over -composite \
  -draw "$(cat "$work/scene.mvg")" \
  \( -size ${sw}x${sh} xc:'#bfe3ee00' -fill '#bfe3ee1c' \
     -draw "ellipse 220,322 260,22 0,360" -draw "ellipse 110,380 200,18 0,360" \
     -blur 0x18 \) -compose over -composite \
  \( -size ${sw}x${sh} xc:black -fill white -draw "roundrectangle 0,0 $((sw - 1)),$((sh - 1)) 10,10" \) \
  -alpha off -compose CopyOpacity -composite "$work/scene.png"

# Title lettering: gold gradient letters with a dark rim and a warm glow.
"${im[@]}" -size 250x60 xc:none -font "$serif" -pointsize 31 -kerning 2 -gravity center \
  -fill white -annotate +0+0 'OSTREVANE' "$work/title-mask.png"
"${im[@]}" -size 250x60 gradient:"$gold_light"-'#b8862e' "$work/title-mask.png" \
  -compose CopyOpacity -composite "$work/title-face.png"
"${im[@]}" "$work/title-mask.png" -fill '#f0b04a' -colorize 100 -channel A -blur 0x6 \
  -evaluate multiply 0.55 +channel \
  \( "$work/title-mask.png" -fill '#1a0f02' -colorize 100 -morphology dilate disk:1.5 \) \
  -compose over -composite "$work/title-face.png" -compose over -composite "$work/title.png"

# Emblem: the crystal over a ring, as on the program's icon.
emblem() {  # size colour-alpha target
  local s=$1 t=$3 c=$(( $1 / 2 ))
  "${im[@]}" -size "${s}x${s}" xc:none \
    -fill none -stroke "$gold" -strokewidth $(( s / 14 + 1 )) -draw "circle $c,$c $c,$(( s / 8 ))" \
    -stroke '#5a3b00' -strokewidth 1 -fill '#f0b83a' \
    -draw "polygon $c,$(( s * 12 / 100 )) $(( c + s * 24 / 100 )),$(( s * 42 / 100 )) $c,$(( s * 88 / 100 )) $(( c - s * 24 / 100 )),$(( s * 42 / 100 ))" \
    -stroke none -fill '#fff1b8' \
    -draw "polygon $c,$(( s * 12 / 100 )) $(( c - s * 24 / 100 )),$(( s * 42 / 100 )) $c,$(( s * 52 / 100 ))" \
    -fill '#c98a12' \
    -draw "polygon $c,$(( s * 88 / 100 )) $(( c + s * 24 / 100 )),$(( s * 42 / 100 )) $c,$(( s * 52 / 100 ))" \
    -channel A -evaluate multiply "$2" +channel "$t"
}
emblem 54 1 "$work/emblem.png"
emblem 120 0.12 "$work/watermark.png"

# The page area, seen before the page has arrived and around the status text.
pw=$((fx1 - fx0 - 7)) ph=$((fy1 - fy0 - 7))
"${im[@]}" -size ${pw}x${ph} radial-gradient:'#11283f'-'#050c16' \
  "$work/watermark.png" -gravity north -geometry +0+90 -compose over -composite \
  "$work/page.png"

# Health notice under the page, as Chinese game launchers carry it.
"${im[@]}" -size $((fx1 - fx0))x40 xc:none -font "$cjk_regular" -pointsize 11 -fill '#9c8a5c' \
  -gravity center -annotate +0-8 '抵制不良游戏，拒绝盗版游戏。注意自我保护，谨防受骗上当。' \
  -annotate +0+9 '适度游戏益脑，沉迷游戏伤身。合理安排时间，享受健康生活。' "$work/notice.png"

# Frame lines drawn over the panel: trim along the edge, the rail the caption
# tabs stand on, the page frame and the landscape frame.
frame_draw=(
  -fill none -stroke "$gold" -strokewidth 2
  -draw "roundrectangle $((px0 + 4)),$((py0 + 4)) $((px1 - 4)),$((py1 - 4)) 12,12"
  -stroke "$gold_dark" -strokewidth 1
  -draw "roundrectangle $((px0 + 9)),$((py0 + 9)) $((px1 - 9)),$((py1 - 9)) 9,9"
  -stroke "$gold_dark" -draw "rectangle $((sx0 - 3)),$((sy0 - 3)) $((sx1 + 2)),$((sy1 + 2))"
  -stroke "$gold" -draw "rectangle $((sx0 - 1)),$((sy0 - 1)) $sx1,$sy1"
)
# Page frame (4 pixels: gold, dark, dark, light) and the rail at y 160-163.
rail_draw=(
  -stroke none -fill '#050b14' -draw "rectangle 40,160 984,163"
  -fill "$gold" -draw "rectangle 40,160 984,160"
  -fill "$gold_dark" -draw "rectangle 40,163 $((fx0 - 1)),163"
  -fill "$gold_dark" -draw "rectangle $((fx1 + 1)),163 984,163"
  -fill none -stroke "$gold" -strokewidth 1 -draw "rectangle $fx0,$fy0 $fx1,$fy1"
  -stroke '#3a5f7a' -draw "rectangle $((fx0 + 3)),$((fy0 + 3)) $((fx1 - 3)),$((fy1 - 3))"
  -stroke none -fill "$gold" -draw "polygon 40,157 46,161 40,165 34,161"
  -draw "polygon 984,157 990,161 984,165 978,161"
)
corner_draw=()
for c in "$((px0 + 4)),$((py0 + 4))" "$((px1 - 4)),$((py0 + 4))" \
         "$((px0 + 4)),$((py1 - 4))" "$((px1 - 4)),$((py1 - 4))"; do
  x=${c%,*} y=${c#*,}
  corner_draw+=(-stroke "#5a3b00" -strokewidth 1 -fill "$gold"
                -draw "polygon $x,$((y - 7)) $((x + 7)),$y $x,$((y + 7)) $((x - 7)),$y")
done

"${im[@]}" "$work/shadow.png" "$work/panel.png" -compose over -composite \
  "$work/scene.png" -geometry +$sx0+$sy0 -compose over -composite \
  "$work/page.png" -geometry +$((fx0 + 4))+$((fy0 + 4)) -compose over -composite \
  "$work/notice.png" -geometry +$fx0+$((fy1 + 3)) -compose over -composite \
  "$work/emblem.png" -geometry +46+103 -compose over -composite \
  "$work/title.png" -geometry +96+94 -compose over -composite \
  "${frame_draw[@]}" "${corner_draw[@]}" "$work/base.png"

# --------------------------------------------------- login window buttons ---
# Caption tab: rounded top, flat bottom standing on the rail, a caption
# between two small diamonds.
caption_tab() {  # w h caption hover target
  local w=$1 h=$2 t=$5
  local top='#1f4f76' bottom='#0b223d' rim="$gold" text='#f6e3a6'
  if [ "$4" = 1 ]; then top='#3387b3' bottom='#10456b' rim='#ffd97a' text='#fffbea'; fi
  local cy=$(( h / 2 + 1 ))
  "${im[@]}" -size "${w}x${h}" gradient:"$top"-"$bottom" \
    \( -size "${w}x${h}" xc:black -fill white -draw "roundrectangle 0,0 $((w - 1)),$((h + 12)) 9,9" \) \
    -alpha off -compose CopyOpacity -composite \
    -fill none -stroke "$rim" -strokewidth 1.5 -draw "roundrectangle 1,1 $((w - 2)),$((h + 12)) 8,8" \
    -stroke '#ffffff28' -strokewidth 1 -draw "roundrectangle 3,3 $((w - 4)),$((h + 12)) 6,6" \
    -stroke none -fill "$rim" \
    -draw "polygon 14,$((cy - 4)) 18,$cy 14,$((cy + 4)) 10,$cy" \
    -draw "polygon $((w - 14)),$((cy - 4)) $((w - 10)),$cy $((w - 14)),$((cy + 4)) $((w - 18)),$cy" \
    -font "$cjk" -pointsize 17 -gravity center \
    -fill '#000000a0' -annotate +1+2 "$3" -fill "$text" -annotate +0+1 "$3" "$t"
}
# Side tab on the right of the page: a plaque with a cross or a dash.
side_tab() {  # w h glyph(cross|dash) hover target
  local w=$1 h=$2 t=$5 cx=$(( $1 / 2 )) cy=$(( $2 / 2 ))
  local top='#1f4f76' bottom='#0b223d' rim="$gold" ink="$gold_light"
  if [ "$3" = cross ]; then top='#8f2633' bottom='#4a0d17'; fi
  if [ "$4" = 1 ]; then
    rim='#ffd97a' ink='#ffffff'
    if [ "$3" = cross ]; then top='#cf4050' bottom='#7d1825'; else top='#3387b3' bottom='#10456b'; fi
  fi
  local glyph
  if [ "$3" = cross ]; then
    glyph=(-draw "line $((cx - 7)),$((cy - 7)) $((cx + 7)),$((cy + 7))"
           -draw "line $((cx + 7)),$((cy - 7)) $((cx - 7)),$((cy + 7))")
  else
    glyph=(-draw "line $((cx - 8)),$cy $((cx + 8)),$cy")
  fi
  local glyph_shadow=()
  offset_draws glyph_shadow "${glyph[@]}"
  "${im[@]}" -size "${w}x${h}" gradient:"$top"-"$bottom" \
    \( -size "${w}x${h}" xc:black -fill white -draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) 8,8" \) \
    -alpha off -compose CopyOpacity -composite \
    -fill none -stroke "$rim" -strokewidth 1.5 -draw "roundrectangle 1,1 $((w - 2)),$((h - 2)) 7,7" \
    -stroke '#ffffff28' -strokewidth 1 -draw "roundrectangle 3,3 $((w - 4)),$((h - 4)) 5,5" \
    -stroke '#000000a0' -strokewidth 3.2 "${glyph_shadow[@]}" \
    -stroke "$ink" -strokewidth 3 "${glyph[@]}" "$t"
}

# id normal, id hover, x, y, w, h, kind, argument, normal has alpha
login_buttons=(
  "192 193 952 171 36 47 side dash 1"
  "188 189 945 242 36 52 side cross 1"
  "194 195 354 119 134 41 tab 游戏官网 0"
  "190 191 498 120 134 41 tab 游戏论坛 1"
  "200 201 642 119 136 41 tab 客服中心 0"
  "198 199 787 120 135 41 tab 充值中心 0"
)
for hover in 0 1; do
  args=()
  for b in "${login_buttons[@]}"; do
    read -r n hv x y w h kind arg alpha <<<"$b"
    f="$work/face-$n-$hover.png"
    if [ "$kind" = tab ]; then caption_tab "$w" "$h" "$arg" "$hover" "$f"; else side_tab "$w" "$h" "$arg" "$hover" "$f"; fi
    args+=("$f" -geometry "+$x+$y" -compose over -composite)
  done
  # The rail is drawn last: the tabs stand on it.
  "${im[@]}" "$work/base.png" "${args[@]}" "${rail_draw[@]}" "$work/composed-$hover.png"
done
cp "$work/composed-0.png" "$work/170.png"
save_rgba "$work/170.png" "$out/170.png"
for b in "${login_buttons[@]}"; do
  read -r n hv x y w h kind arg alpha <<<"$b"
  "${im[@]}" "$work/composed-0.png" -crop "${w}x${h}+$x+$y" +repage "$work/n.png"
  "${im[@]}" "$work/composed-1.png" -crop "${w}x${h}+$x+$y" +repage "$work/h.png"
  save_rgb "$work/h.png" "$out/$hv.png"
  if [ "$alpha" = 1 ]; then
    # Only the button itself is opaque; around it the backdrop shows through.
    "${im[@]}" "$work/n.png" -alpha off \( "$work/face-$n-0.png" -alpha extract \) \
      -compose CopyOpacity -composite "$work/n.png"
    hard_alpha "$work/n.png"
    save_rgba "$work/n.png" "$out/$n.png"
  else
    save_rgb "$work/n.png" "$out/$n.png"
  fi
done

# Key-colour fill of the login window, as a PNG and as a plain bitmap.
"${im[@]}" -size 29x30 xc:"$key" "$work/key.png"
save_rgb "$work/key.png" "$out/183.png"
"${im[@]}" "$work/key.png" -alpha off -type TrueColor -strip BMP3:"$out/220.bmp"

# ------------------------------------------------------------ title bars ---
# 1500 x 27, the same in every column, so it stretches to any width: a light
# top edge, the night-blue gradient, a dark line and a gold line at the bottom.
title_bar() {  # target
  "${im[@]}" -size 1500x27 gradient:'#1d4168'-'#0a1b31' \
    -fill '#33679a' -draw "rectangle 0,0 1499,0" \
    -fill '#050d18' -draw "rectangle 0,25 1499,25" \
    -fill '#b48c3c' -draw "rectangle 0,26 1499,26" "$1"
}
title_bar "$work/bar.png"
save_rgb "$work/bar.png" "$out/219.png"
save_rgb "$work/bar.png" "$out/221.png"

# A piece of the bar as it lies under a control at rows top..top+h-1; rows past
# the bar repeat its last row.
bar_piece() {  # w h top target
  "${im[@]}" "$work/bar.png" -crop "${1}x$(( 27 - $3 < $2 ? 27 - $3 : $2 ))+0+$3" +repage \
    -background '#b48c3c' -gravity north -extent "${1}x$2" +gravity "$4"
}

# Text buttons of the game bar (38 x 18, at rows 5..22).
text_button() {  # caption hover target
  bar_piece 38 18 5 "$work/tb.png"
  local fill='#ffffff0c' rim='#b48c3c90' ink='#f0d890'
  if [ "$2" = 1 ]; then fill='#2b77a0' rim='#f3cf72' ink='#ffffff'; fi
  "${im[@]}" "$work/tb.png" -fill "$fill" -stroke "$rim" -strokewidth 1 \
    -draw "roundrectangle 0.5,0.5 36.5,16.5 4,4" -stroke none \
    -font "$cjk" -pointsize 12 -gravity center -fill '#00000080' -annotate +1+1 "$1" \
    -fill "$ink" -annotate +0+0 "$1" "$work/t.png"
  save_rgb "$work/t.png" "$3"
}
for t in "202 203 论坛" "211 212 官网" "213 214 充值" "215 216 客服" "217 218 设置"; do
  read -r n hv cap <<<"$t"
  text_button "$cap" 0 "$out/$n.png"
  text_button "$cap" 1 "$out/$hv.png"
done

# Window buttons of the bars (27 or 28 wide, 27 high): the game window puts
# them at rows 1..27 of its bar, the QQ login window at rows 0..26.
window_button() {  # w glyph hover target top-row
  local w=$1 cx=$(( $1 / 2 )) cy=13 ink="$gold_light" hot='#2a6a92'
  bar_piece "$w" 27 "$5" "$work/wb.png"
  local g=()
  case $2 in
    tray) g=(-draw "line $((cx - 5)),$((cy - 5)) $((cx + 4)),$((cy + 4))"
             -draw "polyline $((cx + 5)),$((cy - 2)) $((cx + 5)),$((cy + 5)) $((cx - 2)),$((cy + 5))") ;;
    min) g=(-draw "line $((cx - 6)),$((cy + 4)) $((cx + 6)),$((cy + 4))") ;;
    restore) g=(-draw "rectangle $((cx - 6)),$((cy - 2)) $((cx + 3)),$((cy + 6))"
                -draw "polyline $((cx - 3)),$((cy - 3)) $((cx - 3)),$((cy - 5)) $((cx + 6)),$((cy - 5)) $((cx + 6)),$((cy + 3)) $((cx + 4)),$((cy + 3))") ;;
    max) g=(-draw "rectangle $((cx - 6)),$((cy - 6)) $((cx + 6)),$((cy + 6))"
            -draw "line $((cx - 6)),$((cy - 5)) $((cx + 6)),$((cy - 5))") ;;
    close) g=(-draw "line $((cx - 5)),$((cy - 5)) $((cx + 5)),$((cy + 5))"
              -draw "line $((cx + 5)),$((cy - 5)) $((cx - 5)),$((cy + 5))")
           hot='#b3303e' ;;
  esac
  local g_shadow=()
  offset_draws g_shadow "${g[@]}"
  local pre=()
  if [ "$3" = 1 ]; then
    ink='#ffffff'
    pre=(-stroke none -fill "$hot" -draw "roundrectangle 2,2 $((w - 3)),23 4,4")
  fi
  "${im[@]}" "$work/wb.png" "${pre[@]}" -fill none -stroke '#00000090' -strokewidth 2 \
    "${g_shadow[@]}" \
    -stroke "$ink" -strokewidth 1.6 "${g[@]}" "$work/w.png"
  save_rgb "$work/w.png" "$4"
}
for b in "184 185 27 tray 1" "186 187 28 close 1" "205 206 27 restore 1" "207 208 28 min 1" \
         "209 210 27 max 1" "224 225 27 close 0"; do
  read -r n hv w g top <<<"$b"
  window_button "$w" "$g" 0 "$out/$n.png" "$top"
  window_button "$w" "$g" 1 "$out/$hv.png" "$top"
done

# Game icon of the bar (24 x 24 at rows 2..25).
bar_piece 24 24 2 "$work/ib.png"
emblem 24 1 "$work/e24.png"
"${im[@]}" "$work/ib.png" "$work/e24.png" -compose over -composite "$work/icon.png"
save_rgb "$work/icon.png" "$out/204.png"

# QQ login window frame: 3 x 359 sides (the right side shows only its last
# column, stretched) and the 469 x 4 bottom.
"${im[@]}" -size 1x359 xc:'#8a6a2c' -size 1x359 xc:'#c9a24a' -size 1x359 xc:'#8a6a2c' +append \
  "$work/side.png"
save_rgb "$work/side.png" "$out/222.png"
"${im[@]}" -size 469x1 xc:'#c9a24a' -size 469x1 xc:'#8a6a2c' -size 469x1 xc:'#5a441b' \
  -size 469x1 xc:'#050d18' -append "$work/bottom.png"
save_rgb "$work/bottom.png" "$out/223.png"

# Two spare action buttons in the same skin: 开始游戏 (127 x 43) and 进入游戏
# (134 x 48), each with its hover picture, on the panel colour.
action_button() {  # w h caption hover target
  local w=$1 h=$2 top='#2a6e96' bottom='#0d2f50' rim="$gold" ink='#fff1c4'
  if [ "$4" = 1 ]; then top='#45a4cf' bottom='#155682' rim='#ffd97a' ink='#ffffff'; fi
  "${im[@]}" -size "${w}x${h}" xc:'#0c1f36' \
    \( -size "${w}x${h}" gradient:"$top"-"$bottom" \
       \( -size "${w}x${h}" xc:black -fill white -draw "roundrectangle 1,1 $((w - 2)),$((h - 2)) 10,10" \) \
       -alpha off -compose CopyOpacity -composite \) -compose over -composite \
    -fill none -stroke "$rim" -strokewidth 1.5 -draw "roundrectangle 1.5,1.5 $((w - 3)).5,$((h - 3)).5 10,10" \
    -stroke '#ffffff30' -strokewidth 1 -draw "roundrectangle 4,4 $((w - 5)),$((h - 5)) 8,8" \
    -stroke none -font "$cjk" -pointsize 19 -gravity center \
    -fill '#000000a0' -annotate +1+2 "$3" -fill "$ink" -annotate +0+1 "$3" "$work/a.png"
  save_rgb "$work/a.png" "$5"
}
action_button 127 43 开始游戏 0 "$out/196.png"
action_button 127 43 开始游戏 1 "$out/197.png"
action_button 134 48 进入游戏 0 "$out/226.png"
action_button 134 48 进入游戏 1 "$out/227.png"

echo "make-art: $(find "$out" -type f | wc -l) pictures in res/art"

[ "$preview" = 1 ] || exit 0

# ------------------------------------------------------------- preview ---
# The login window as the system shows it: key colour everywhere, the buttons
# blended over it, then the key colour taken out.
login=("${im[@]}" -size 1024x700 xc:"$key")
for b in "${login_buttons[@]}"; do
  read -r n hv x y w h kind arg alpha <<<"$b"
  login+=("$out/$n.png" -geometry "+$x+$y" -compose over -composite)
done
"${login[@]}" -fill '#ffff00' -font "$cjk_regular" -pointsize 20 \
  -annotate +540+396 '检测到您的网络异常，点击这里重试！' \
  -alpha on -transparent "$key" "$work/login.png"

# The game window's title bar at 1250 pixels, laid out as the window does.
G=1250
game=("${im[@]}" -size "${G}x160" xc:'#2b2f36' \( "$out/219.png" -resize "${G}x27!" \)
      -geometry +0+0 -compose over -composite "$out/204.png" -geometry +5+2 -compose over -composite)
for b in "186 $((G - 28)) 1" "205 $((G - 55)) 1" "207 $((G - 83)) 1" "184 $((G - 110)) 1" \
         "217 $((G - 168)) 5" "215 $((G - 211)) 5" "202 $((G - 254)) 5" "211 $((G - 297)) 5" \
         "213 $((G - 340)) 5"; do
  read -r n x y <<<"$b"
  game+=("$out/$n.png" -geometry "+$x+$y" -compose over -composite)
done
# The page covers the bar's last row and what lies below it.
"${game[@]}" -fill '#2b2f36' -draw "rectangle 0,27 $G,160" -fill '#ffff00' -font DejaVu-Sans -pointsize 12 -annotate +39+18 'Ostrevane' \
  -fill '#8a93a0' -font "$cjk_regular" -pointsize 14 -annotate +520+95 '（游戏页面）' \
  -crop ${G}x160+0+0 +repage "$work/game.png"

# The QQ login window at 880 x 420.
"${im[@]}" -size 880x420 xc:'#f4f4f4' \
  \( "$out/221.png" -resize '880x27!' \) -geometry +0+0 -compose over -composite \
  \( "$out/222.png" -resize '3x393!' \) -geometry +0+27 -compose over -composite \
  \( "$out/222.png" -resize '183x393!' -crop 3x393+180+0 +repage \) -geometry +877+27 -compose over -composite \
  \( "$out/223.png" -resize '880x4!' \) -geometry +0+416 -compose over -composite \
  "$out/224.png" -geometry +853+0 -compose over -composite \
  -fill '#ffff00' -font "$cjk_regular" -pointsize 12 -annotate +5+18 '账号安全登录' "$work/qq.png"

mkdir -p "$root/build"
"${im[@]}" -size 1300x1440 gradient:'#7d8791'-'#5b646e' \
  "$out/170.png" -geometry +40+20 -compose over -composite \
  "$work/login.png" -geometry +40+20 -compose over -composite \
  "$work/game.png" -geometry +25+750 -compose over -composite \
  "$out/195.png" -geometry +40+940 -compose over -composite \
  "$out/191.png" -geometry +190+940 -compose over -composite \
  "$out/189.png" -geometry +340+940 -compose over -composite \
  "$out/193.png" -geometry +390+940 -compose over -composite \
  "$out/196.png" -geometry +450+940 -compose over -composite \
  "$out/197.png" -geometry +590+940 -compose over -composite \
  "$out/226.png" -geometry +730+940 -compose over -composite \
  "$out/227.png" -geometry +880+940 -compose over -composite \
  "$work/qq.png" -geometry +40+1000 -compose over -composite \
  "$root/build/art-preview.png"
echo "make-art: preview in build/art-preview.png"

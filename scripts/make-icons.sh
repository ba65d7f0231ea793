#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick and writes them into res/:
#   dustrel.ico  the program icon (32x32 and 16x16, 32-bit with alpha): a broom sweeping up
#                a sparkle, amber on a dark blue rounded square;
#   side.bmp     the decorative picture on the main window's left panel, 177x287, 24-bit.
# The results are committed; run this again only to change them.
set -euo pipefail

repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
res="$repo/res"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

command -v convert >/dev/null || { echo "make-icons.sh: needs ImageMagick (apt-get install imagemagick)" >&2; exit 1; }

blue='rgb(2,51,94)'
deep='rgb(1,30,58)'
amber='rgb(255,199,6)'
pale='rgb(255,236,170)'
handle='rgb(214,226,238)'

# One icon face drawn on a 256-unit grid and reduced to $1 pixels. $2 scales the handle up
# so that it survives reduction; $3 says whether the bristles get their slits, which turn to
# mud at 16 pixels.
draw_icon() {
    local size=$1 bold=$2 slits=$3 out=$4
    local big=256 r=52
    local hw slit_args=()
    hw=$(awk -v b="$bold" 'BEGIN { printf "%d", 16 * b }')
    if [[ $slits == yes ]]; then
        slit_args=(-stroke "$deep" -strokewidth 9
            -draw "stroke-linecap round line 92,170 72,208"
            -draw "stroke-linecap round line 114,178 100,212")
    fi
    convert -size ${big}x${big} xc:none \
        -fill "$blue" -draw "roundrectangle 0,0 $((big - 1)),$((big - 1)) $r,$r" \
        -stroke "$handle" -strokewidth "$hw" \
        -draw "stroke-linecap round line 206,46 124,150" \
        -stroke none -fill "$amber" \
        -draw "polygon 104,128 146,160 120,216 40,214 58,178" \
        "${slit_args[@]}" \
        -stroke none -fill "$pale" \
        -draw "polygon 70,34 80,64 110,74 80,84 70,114 60,84 30,74 60,64" \
        -fill "$amber" \
        -draw "polygon 186,160 191,176 207,181 191,186 186,202 181,186 165,181 181,176" \
        -filter Lanczos -resize "${size}x${size}" \
        PNG32:"$out"
}

draw_icon 32 1.0 yes "$work/icon32.png"
draw_icon 16 1.8 no "$work/icon16.png"
# BMP-coded entries (not PNG) so that every Windows version and windres read them.
convert "$work/icon32.png" "$work/icon16.png" "$res/dustrel.ico"

# The side panel: deep blue to blue, a large faint sparkle, the broom, a rule and the name.
font=""
for candidate in DejaVu-Sans-Bold Helvetica-Bold NimbusSans-Bold; do
    if convert -list font 2>/dev/null | grep -q "Font: $candidate\$"; then
        font=$candidate
        break
    fi
done

w=177 h=287
args=(-size "${w}x${h}" gradient:"$deep"-"$blue"
    -fill 'rgba(255,199,6,0.10)' -draw "circle 88,110 88,30"
    -fill 'rgba(255,255,255,0.06)' -draw "circle 150,250 150,190"
    -stroke "$handle" -strokewidth 9 -draw "stroke-linecap round line 132,48 84,112"
    -stroke none -fill "$amber" -draw "polygon 72,100 98,120 82,156 32,155 43,132"
    -stroke "$deep" -strokewidth 5
    -draw "stroke-linecap round line 64,127 52,150" -draw "stroke-linecap round line 78,132 70,152"
    -stroke none -fill "$pale"
    -draw "polygon 52,40 58,58 76,64 58,70 52,88 46,70 28,64 46,58"
    -fill "$amber"
    -draw "polygon 124,118 127,128 137,131 127,134 124,144 121,134 111,131 121,128"
    -draw "polygon 146,82 148,88 154,90 148,92 146,98 144,92 138,90 144,88"
    -fill "$amber" -draw "rectangle 28,196 148,198")
if [[ -n $font ]]; then
    args+=(-font "$font" -pointsize 30 -fill white -gravity north -annotate +0+204 "Dustrel"
        -pointsize 11 -fill "$pale" -annotate +0+244 "disk cleaner")
else
    echo "make-icons.sh: no font found; the side picture carries no lettering" >&2
fi
convert "${args[@]}" -alpha off -type TrueColor BMP3:"$res/side.bmp"

identify "$res/dustrel.ico" "$res/side.bmp"

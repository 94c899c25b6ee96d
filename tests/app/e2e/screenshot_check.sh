#!/usr/bin/env bash
# Screenshot check: Quollbox.exe starts under Wine with an image made by mtools; a screenshot of
# the test's own display is kept as <work folder>/quollbox_main.png, and its coarse layout is
# checked: the four menu captions in one band just under the title bar, the file list's white
# area, and both side panels' list boxes under their caption bars, all inside the window.
# Also prints the time from process start to the first painted menu bar and panels, beside
# notepad's (process start to its first painted menu bar), started the same way.
# Usage: screenshot_check.sh <repo> <Quollbox.exe> <work folder>
set -euo pipefail
repo=$1 exe=$2 work=$3
if [ -z "${QB_OWN_DISPLAY:-}" ]; then
  exec "$repo/tools/with-display" "$0" "$@"
fi
run="$repo/tools/wine-run"
layout="$(cd "$(dirname "$0")" && pwd)/window_layout.awk"
rm -rf "$work" && mkdir -p "$work" && cd "$work"
mformat -C -f 720 -v SHOT -i shot.dsk ::
echo hello >HELLO.TXT
MTOOLS_SKIP_CHECK=1 mcopy -i shot.dsk HELLO.TXT ::
"$run" reg delete 'HKCU\Software\Kelpfin\Quollbox' /f >/dev/null 2>&1 || true

fail() { echo "$*"; exit 1; }
# Milliseconds from `start` until the window named by the pattern shows dark text in each band
# given as WxH+X+Y (X counted from the right when negative), or fails after a minute.
painted() {
  local start=$1 pattern=$2 window band bands dark
  shift 2
  window=$(timeout 60 xdotool search --sync --name "$pattern" | head -n 1)
  eval "$(xdotool getwindowgeometry --shell "$window")"
  bands=()
  for band in "$@"; do
    [[ $band =~ ^([0-9]+x[0-9]+)\+(-?[0-9]+)\+([0-9]+)$ ]]
    local x=${BASH_REMATCH[2]}
    [ "$x" -ge 0 ] || x=$((WIDTH + x))
    bands+=("(" -clone 0 -crop "${BASH_REMATCH[1]}+$x+${BASH_REMATCH[3]}" +repage ")")
  done
  for _ in $(seq 600); do
    dark=$(import -window "$window" miff:- 2>/dev/null |
      convert - "${bands[@]}" -delete 0 -format '%[fx:minima<0.4]' info: 2>/dev/null | tr -d '\n')
    if [ "$dark" = "$(printf '1%.0s' "$@")" ]; then
      echo $((($(date +%s%N) - start) / 1000000))
      return
    fi
    sleep 0.01
  done
  fail "no window \"$pattern\" painted"
}

start=$(date +%s%N)
"$run" notepad >notepad.log 2>&1 &
notepad=$!
notepadMs=$(painted "$start" '^Untitled - Notepad$' 200x24+8+22)
"$run" taskkill /IM notepad.exe >/dev/null 2>&1 || kill "$notepad" 2>/dev/null || true
wait "$notepad" || true

start=$(date +%s%N)
"$run" --host-paths "$exe" "$work/shot.dsk" >program.log 2>&1 &
program=$!
# The menu bar's captions and the first panel's caption bar painted.
quollMs=$(painted "$start" '^Quollbox - Z:.*shot\.dsk$' 200x24+14+22 150x20+-180+44)
window=$(xdotool search --name '^Quollbox - Z:.*shot\.dsk$' | head -n 1)
echo "first paint: Quollbox $quollMs ms, notepad $notepadMs ms" \
  "($(awk -v a="$quollMs" -v b="$notepadMs" 'BEGIN { printf "%.2f", a / b }')x notepad's)"
sleep 1
import -window root "$work/quollbox_main.png"
eval "$(xdotool getwindowgeometry --shell "$window")"
"$run" taskkill /IM Quollbox.exe >/dev/null
wait "$program" || true

convert "$work/quollbox_main.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage -compress none ppm:- |
  awk -f "$layout" >layout.txt
cat layout.txt
value() { awk -v k="$1" -v f="$2" '$1 == k { print $(f + 1); exit }' layout.txt; }
top=$(value client_top 1) band0=$(value menu_band 1) band1=$(value menu_band 2)
[ "$top" -gt 5 ] || fail "no title bar above the client area"
[ $((band0 - top)) -le 16 ] && [ $((band1 - band0)) -ge 6 ] && [ $((band1 - band0)) -le 20 ] ||
  fail "the menu captions are not in one band at the top of the client area"
read -r -a starts <<<"$(awk '$1 == "menu_captions" { $1 = $2 = ""; print }' layout.txt)"
[ "$(value menu_captions 1)" -eq 4 ] || fail "not four menu captions in the menu bar"
[ "${starts[0]}" -lt 40 ] || fail "the first menu caption is not at the bar's left end"
for i in 1 2 3; do
  gap=$((starts[i] - starts[i - 1]))
  [ "$gap" -ge 20 ] && [ "$gap" -le 90 ] || fail "menu captions $i and $((i + 1)) are $gap px apart"
done
[ "$(value list_rows 1)" -ge $((HEIGHT / 2)) ] || fail "no file list filling the window's left"
[ "$(value panels 1)" -eq 2 ] || fail "not two side panels"
while read -r _ first last caption; do
  [ "$caption" -gt "$band1" ] && [ $((first - caption)) -le 20 ] ||
    fail "the panel at rows $first..$last has no caption bar above it"
  [ "$last" -lt "$HEIGHT" ] || fail "a panel reaches out of the window"
done < <(grep '^panel ' layout.txt)
"$run" reg delete 'HKCU\Software\Kelpfin\Quollbox' /f >/dev/null 2>&1 || true
echo "screenshot check passed: $work/quollbox_main.png"

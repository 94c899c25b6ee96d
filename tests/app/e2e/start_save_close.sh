#!/usr/bin/env bash
# End to end: Quollbox.exe starts under Wine with the boot-code choice "2" stored, shows
# "Quollbox - NewImage1.dsk", saves it with Ctrl+S (no dialog: the start-up image is not
# modified), and exits cleanly when asked to close. The saved image is checked with mtools, the
# settings in the registry (the boot code written back shows the stored one was read), and a
# screenshot is kept for people to look at.
# Prints the time from launch to the shown window.
# Usage: start_save_close.sh <repo> <Quollbox.exe> <work folder>
set -euo pipefail
repo=$1 exe=$2 work=$3
if [ -z "${QB_OWN_DISPLAY:-}" ]; then
  exec "$repo/tools/with-display" "$0" "$@"
fi
run="$repo/tools/wine-run"
key='HKCU\Software\Kelpfin\Quollbox\TMainForm'
rm -rf "$work" && mkdir -p "$work" && cd "$work"

"$run" reg delete 'HKCU\Software\Kelpfin\Quollbox' /f >/dev/null 2>&1 || true
"$run" reg add "$key" /v BootCode /t REG_SZ /d 2 /f >/dev/null

start=$(date +%s%N)
"$run" "$exe" >program.log 2>&1 &
program=$!
window=$(timeout 60 xdotool search --sync --name '^Quollbox - NewImage1\.dsk$' | head -n 1)
shown=$(date +%s%N)
echo "first window after $(((shown - start) / 1000000)) ms (process start under Wine)"
sleep 1
import -window root "$work/quollbox_main.png"

xdotool key --window "$window" ctrl+s 2>/dev/null
for _ in $(seq 50); do [ -f NewImage1.dsk ] && break; sleep 0.1; done
[ -f NewImage1.dsk ] || { echo "NewImage1.dsk was not saved"; exit 1; }

# A close request as the window's close button makes it (WM_CLOSE to the program's windows).
"$run" taskkill /IM Quollbox.exe >/dev/null
status=0
timeout 30 tail --pid="$program" -f /dev/null || { echo "the program did not exit"; exit 1; }
wait "$program" || status=$?
[ "$status" -eq 0 ] || { echo "the program exited with $status"; exit 1; }

[ "$(stat -c %s NewImage1.dsk)" -eq 368640 ] || { echo "NewImage1.dsk is not a 360 KB image"; exit 1; }
if command -v mdir >/dev/null; then
  listing=$(MTOOLS_SKIP_CHECK=1 mdir -i NewImage1.dsk ::)
  echo "$listing"
  grep -q 'No files' <<<"$listing" || { echo "mtools finds files on the new image"; exit 1; }
fi

settings=$("$run" reg query "$key" | tr -d '\r')
echo "$settings"
grep -Eq 'BootCode +REG_SZ +2$' <<<"$settings" || { echo "BootCode is not \"2\""; exit 1; }
grep -Eq 'RemovableDrive +REG_SZ *$' <<<"$settings" || { echo "RemovableDrive is not empty"; exit 1; }
# The run command's way in: an image named by an absolute host path opens (the program would
# read an untranslated "/..." as a switch and start with a new image).
mkdir -p "$work/host dir" && cp NewImage1.dsk "$work/host dir/Opened.dsk"
"$run" --host-paths "$exe" "$work/host dir/Opened.dsk" >>program.log 2>&1 &
program=$!
timeout 60 xdotool search --sync --name '^Quollbox - Z:.*host dir.Opened\.dsk$' >/dev/null ||
  { echo "an image given by its host path did not open"; exit 1; }
"$run" taskkill /IM Quollbox.exe >/dev/null
wait "$program" || true

"$run" reg delete 'HKCU\Software\Kelpfin\Quollbox' /f >/dev/null 2>&1 || true
echo "end-to-end run passed"

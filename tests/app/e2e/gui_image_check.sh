#!/usr/bin/env bash
# Checks the image that the main window's file-commands test saved: mtools lists the expected
# tree and fsck.fat finds nothing wrong beyond the boot-record lines an MSX boot sector always
# draws (its Z80 code read as a label and, sometimes, a dirty bit).
# Usage: gui_image_check.sh <image>
set -euo pipefail
image=$1
[ -f "$image" ] || { echo "no saved image at $image"; exit 1; }
export MTOOLS_SKIP_CHECK=1
listing=$(mdir -/ -b -i "$image" ::)
echo "$listing"
expected=$'::/NOTES.TXT\n::/DATA.BIN\n::/GAMES/\n::/GAMES/GAME.BAS'
actual=$(grep -v '/\.\.\?/\?$' <<<"$listing" | sed 's/ *$//')
[ "$actual" = "$expected" ] || { echo "unexpected tree; expected:"; echo "$expected"; exit 1; }

status=0
report=$(fsck.fat -n "$image" 2>&1) || status=$?
echo "$report"
complaints=$(grep -Ev -e '^$' -e '^fsck\.fat [0-9]' -e '^Leaving filesystem unchanged\.$' \
  -e ': [0-9]+ files, [0-9]+/[0-9]+ clusters$' \
  -e "^Label '.*' stored in boot sector is not valid\.$" -e '^ *Auto-removing label' \
  -e '^Dirty bit is set\.' -e '^ *Automatically removing dirty bit\.$' <<<"$report" || true)
if [ -n "$complaints" ] || [ "$status" -gt 1 ]; then
  echo "fsck.fat complains:"
  echo "$complaints"
  exit 1
fi
echo "saved image passed mtools and fsck.fat"

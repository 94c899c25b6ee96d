# Coarse layout of a screenshot of the main window, read as a plain PPM of the window alone:
# the title bar (rows mostly of the active caption's blue), the menu bar's captions (the first
# row band of dark text under it: one cluster of dark columns per menu), the file list (a tall
# white area on the left) and the side panels (white list boxes on the right, each under a
# caption bar with dark text). Prints what it finds as "name value" lines.
function dark(r, g, b) { return r + g + b < 300 }
function white(r, g, b) { return r >= 245 && g >= 245 && b >= 245 }
function blue(r, g, b) { return b >= 200 && r < 120 }
{
  for (i = 1; i <= NF; ++i) {
    if ($i ~ /^#/) break
    tok[++n] = $i
  }
}
END {
  w = tok[2]; h = tok[3]; p = 5
  rightFrom = w - 185; rightTo = w - 10; leftTo = w - 230
  for (y = 0; y < h; ++y)
    for (x = 0; x < w; ++x) {
      r = tok[p]; g = tok[p + 1]; b = tok[p + 2]; p += 3
      if (blue(r, g, b)) ++blueRow[y]
      if (dark(r, g, b)) {
        if (x >= 14 && x < w / 2) { ++darkLeft[y]; darkAt[y, x] = 1 }
        if (x >= rightFrom && x < rightTo) ++darkRight[y]
      }
      if (white(r, g, b)) {
        if (x >= rightFrom && x < rightTo) ++whiteRight[y]
        if (x >= 10 && x < leftTo) ++whiteLeft[y]
      }
    }
  top = -1
  for (y = 0; y < 60 && y < h; ++y) if (blueRow[y] > w / 2) top = y
  print "client_top", top + 1
  # The menu bar's caption band.
  for (y = top + 1; y < h && !darkLeft[y]; ++y) {}
  band0 = y
  for (; y < h && darkLeft[y]; ++y) {}
  band1 = y - 1
  print "menu_band", band0, band1
  groups = 0; last = -100
  for (x = 14; x < w / 2; ++x) {
    hit = 0
    for (y = band0; y <= band1; ++y) if ((y, x) in darkAt) hit = 1
    if (!hit) continue
    if (x - last >= 8) { ++groups; starts = starts " " x }
    last = x
  }
  print "menu_captions", groups, starts
  # Tall white runs: the file list on the left, the panels' list boxes on the right, each right
  # run with the nearest row of dark caption text above it.
  run = 0; best = 0
  for (y = band1 + 1; y < h; ++y) {
    if (whiteLeft[y] >= 0.95 * (leftTo - 10)) { if (++run > best) best = run } else run = 0
  }
  print "list_rows", best
  panels = 0; run = 0
  for (y = band1 + 1; y <= h; ++y) {
    if (y < h && whiteRight[y] >= 0.6 * (rightTo - rightFrom)) { ++run; continue }
    if (run >= 40) {
      first = y - run; caption = -1
      for (c = first - 1; c > first - 30 && c > band1; --c) if (darkRight[c] >= 3) { caption = c; break }
      ++panels
      print "panel", first, y - 1, caption
    }
    run = 0
  }
  print "panels", panels
}

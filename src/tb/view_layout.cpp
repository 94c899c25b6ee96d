// The layout of a view's viewers: which are shown, their sizes and their places.
#include <algorithm>

#include "tb/view.h"

namespace tb {

namespace {

bool Vertical(TTBViewOrientation orientation) {
  return orientation == TTBViewOrientation::tbvoVertical;
}

int AlongLength(const LayoutEntry& e, bool vertical) {
  return vertical ? e.height : e.width;
}
int AcrossLength(const LayoutEntry& e, bool vertical) {
  return vertical ? e.width : e.height;
}

// Sum of the shown entries' lengths along the orientation (the chevron excluded).
int TotalLength(const std::vector<LayoutEntry>& entries, bool vertical, int chevronIndex) {
  int total = 0;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].show && static_cast<int>(i) != chevronIndex) {
      total += AlongLength(entries[i], vertical);
    }
  }
  return total;
}

// Sets a rectangle from along/across coordinates.
TRect MakeRect(bool vertical, int along, int across, int alongLength, int acrossLength) {
  return vertical ? TRect{across, along, across + acrossLength, along + alongLength}
                  : TRect{along, across, along + alongLength, across + acrossLength};
}

void HideForChevron(const LayoutInput& input, std::vector<LayoutEntry>& entries) {
  const bool vertical = Vertical(input.orientation);
  const int chevron = input.chevronIndex;
  if (chevron < 0 || input.chevronOffset < 1) return;
  int total = TotalLength(entries, vertical, chevron);
  // Everything fits: no chevron.
  if (total <= input.chevronOffset) return;
  const int room = input.chevronOffset - input.chevronSize;
  const auto shownItems = [&] {
    int count = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (entries[i].show && !entries[i].separator && static_cast<int>(i) != chevron) ++count;
    }
    return count;
  };
  while (total > room && shownItems() >= 2) {
    int last = -1;
    for (int i = static_cast<int>(entries.size()); i-- > 0;) {
      if (entries[static_cast<std::size_t>(i)].show && i != chevron) {
        last = i;
        break;
      }
    }
    if (last >= 0 && entries[static_cast<std::size_t>(last)].separator) {
      entries[static_cast<std::size_t>(last)].show = false;
    } else {
      int victim = -1;
      const auto candidate = [&](int i) {
        const LayoutEntry& e = entries[static_cast<std::size_t>(i)];
        return i != chevron && e.show && !e.separator;
      };
      if (!input.priority.empty()) {
        for (auto it = input.priority.rbegin(); it != input.priority.rend(); ++it) {
          if (candidate(*it)) {
            victim = *it;
            break;
          }
        }
      }
      if (victim < 0) {
        for (int i = static_cast<int>(entries.size()); i-- > 0;) {
          if (candidate(i)) {
            victim = i;
            break;
          }
        }
      }
      if (victim < 0) break;
      entries[static_cast<std::size_t>(victim)].show = false;
      entries[static_cast<std::size_t>(victim)].offEdge = true;
    }
    HideExtraSeparators(entries);
    total = TotalLength(entries, vertical, chevron);
  }
  // The chevron ends the line: at the end of the room, or after the items when even what is
  // left is longer. Placed at the chevron offset itself it would lie past the length the
  // toolbar is given, out of sight; at the end of the room it ends exactly there.
  LayoutEntry& c = entries[static_cast<std::size_t>(chevron)];
  c.show = true;
  const TTBMargins& m = input.margins;
  const int across = vertical ? m.left : m.top;
  const int along = (vertical ? m.top : m.left) + std::max(room, total);
  c.rect = MakeRect(vertical, along, across, input.chevronSize, AcrossLength(c, vertical));
}

}  // namespace

void HideExtraSeparators(std::vector<LayoutEntry>& entries) {
  bool seenItem = false, lastWasSeparator = false;
  for (LayoutEntry& e : entries) {
    if (!e.show) continue;
    if (e.separator) {
      if (!seenItem || lastWasSeparator)
        e.show = false;
      else
        lastWasSeparator = true;
    } else {
      seenItem = true;
      lastWasSeparator = false;
    }
  }
  for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
    if (!it->show) continue;
    if (!it->separator) break;
    it->show = false;
  }
}

LayoutResult LayoutEntries(const LayoutInput& input, std::vector<LayoutEntry>& entries) {
  const bool vertical = Vertical(input.orientation);
  const int chevron = input.chevronIndex;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    LayoutEntry& e = entries[i];
    e.show = e.visible && static_cast<int>(i) != chevron;
    e.offEdge = e.lineSep = e.clipped = false;
    e.rect = {};
  }
  HideExtraSeparators(entries);

  int sameWidth = 0;
  for (const LayoutEntry& e : entries) {
    if (e.show && e.sameWidth) sameWidth = std::max(sameWidth, e.width);
  }
  for (LayoutEntry& e : entries) {
    if (e.show && e.sameWidth) e.width = sameWidth;
  }

  if (chevron >= 0 && !input.isPopup) HideForChevron(input, entries);

  const TTBMargins& m = input.margins;
  LayoutResult result;
  if (input.isPopup) {
    // Menu-sized items one below the other, each stretched to the widest row; toolbar-sized
    // items side by side in rows, centred across the row's height.
    int y = m.top, widest = 0, x = m.left, rowHeight = 0;
    std::vector<LayoutEntry*> row;
    const auto finishRow = [&] {
      for (LayoutEntry* e : row) e->rect = OffsetRect(e->rect, 0, (rowHeight - e->height) / 2);
      row.clear();
      y += rowHeight;
      widest = std::max(widest, x - m.left);
      x = m.left;
      rowHeight = 0;
    };
    for (LayoutEntry& e : entries) {
      if (!e.show) continue;
      if (e.toolbarSize) {
        e.rect = {x, y, x + e.width, y + e.height};
        x += e.width;
        rowHeight = std::max(rowHeight, e.height);
        row.push_back(&e);
        continue;
      }
      if (!row.empty()) finishRow();
      e.rect = {m.left, y, m.left + e.width, y + e.height};
      y += e.height;
      widest = std::max(widest, e.width);
    }
    if (!row.empty()) finishRow();
    for (LayoutEntry& e : entries) {
      if (e.show && !e.toolbarSize) e.rect.right = m.left + widest;
    }
    result.width = m.left + widest + m.right;
    result.height = y + m.bottom;

    // Taller than allowed: scroll, with an arrow band at each end that has more beyond it.
    // The rectangles stay content positions; the window shows them moved by the offset.
    if (input.maxHeight > 0 && result.height > input.maxHeight) {
      const int overflow = result.height - input.maxHeight;
      const int offset = std::clamp(input.scrollOffset, 0, overflow);
      result.scrollOffset = offset;
      result.showUpArrow = offset > 0;
      result.showDownArrow = offset < overflow;
      const int top = offset + (result.showUpArrow ? kScrollArrowHeight : 0);
      const int bottom = offset + input.maxHeight - (result.showDownArrow ? kScrollArrowHeight : 0);
      for (LayoutEntry& e : entries) {
        if (!e.show) continue;
        if (e.rect.top < top || e.rect.bottom > bottom) {
          e.show = false;
          e.clipped = true;
        }
      }
      result.height = input.maxHeight;
    }
    return result;
  }

  // Toolbars: along the orientation, wrapping into new lines at the wrap offset.
  const int alongStart = vertical ? m.top : m.left;
  const int acrossStart = vertical ? m.left : m.top;
  const int wrap = input.wrapOffset;
  int along = alongStart, across = acrossStart, lineThickness = 0, longest = alongStart;
  bool wrappedSinceSeparator = false;
  std::vector<std::size_t> line, lineSeparators;
  const auto finishLine = [&] {
    for (const std::size_t i : line) {  // centred across the line's thickness
      LayoutEntry& e = entries[i];
      const int shift = (lineThickness - AcrossLength(e, vertical)) / 2;
      e.rect = vertical ? OffsetRect(e.rect, shift, 0) : OffsetRect(e.rect, 0, shift);
    }
    line.clear();
    across += lineThickness;
    lineThickness = 0;
    along = alongStart;
  };
  for (std::size_t i = 0; i < entries.size(); ++i) {
    LayoutEntry& e = entries[i];
    if (!e.show || static_cast<int>(i) == chevron) continue;
    const int length = AlongLength(e, vertical);
    if (wrap > 0 && along > alongStart) {
      if (e.separator) {
        int following = along + length;
        for (std::size_t j = i + 1; j < entries.size(); ++j) {
          if (!entries[j].show || static_cast<int>(j) == chevron) continue;
          if (entries[j].separator) break;
          following += AlongLength(entries[j], vertical);
        }
        if ((following > wrap || wrappedSinceSeparator) && !e.noLineBreak) {
          finishLine();
          ++result.wrappedLines;
          e.lineSep = true;
          e.rect = MakeRect(vertical, alongStart, across, 0, kLineSeparatorThickness);
          lineSeparators.push_back(i);
          across += kLineSeparatorThickness;
          wrappedSinceSeparator = false;
          continue;
        }
        wrappedSinceSeparator = false;
      } else if (along + length > wrap) {
        finishLine();
        ++result.wrappedLines;
        wrappedSinceSeparator = true;
      }
    } else if (e.separator) {
      wrappedSinceSeparator = false;
    }
    e.rect = MakeRect(vertical, along, across, length, AcrossLength(e, vertical));
    along += length;
    longest = std::max(longest, along);
    lineThickness = std::max(lineThickness, AcrossLength(e, vertical));
    line.push_back(i);
  }
  if (!line.empty() || lineThickness > 0) finishLine();
  if (chevron >= 0 && entries[static_cast<std::size_t>(chevron)].show) {
    const TRect& r = entries[static_cast<std::size_t>(chevron)].rect;
    longest = std::max(longest, vertical ? r.bottom : r.right);
    across = std::max(across, vertical ? r.right : r.bottom);
  }
  // Line separators span the whole length of the lines.
  for (const std::size_t i : lineSeparators) {
    TRect& r = entries[i].rect;
    if (vertical)
      r.bottom = longest;
    else
      r.right = longest;
  }
  const int width = (vertical ? across : longest) + m.right;
  const int height = (vertical ? longest : across) + m.bottom;
  if (vertical) {
    // The first column lies at the right: mirror across the content's width.
    for (LayoutEntry& e : entries) {
      if (!e.show) continue;
      const int w = e.rect.Width();
      e.rect.left = m.left + (across - e.rect.right);
      e.rect.right = e.rect.left + w;
    }
  }
  result.width = width;
  result.height = height;
  return result;
}

}  // namespace tb

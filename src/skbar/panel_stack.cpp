#include "skbar/panel_stack.h"

#include <algorithm>

namespace skbar {

using enum TPanelWindowState;

ui::TRect DockDropZone(const ui::TRect& dock, TSkBarDockPosition p) {
  ui::TRect z = dock;
  const bool across = DockStacksVertically(p);  // its thickness is its width
  if ((across ? z.Width() : z.Height()) >= 4) return z;
  switch (p) {
    case TSkBarDockPosition::dpxLeft:
      z.right += 24;
      break;
    case TSkBarDockPosition::dpxTop:
      z.bottom += 24;
      break;
    case TSkBarDockPosition::dpxBottom:
      z.top -= 24;
      break;
    default:
      z.left -= 24;
      break;  // right and client docks
  }
  return z;
}

bool TPanelStack::Resizable(int i) const {
  return (*this)[i].Sizable && (*this)[i].State != wsMinimized;
}

int TPanelStack::FindResizableNeighbour(int i, int mode) const {
  const int n = Count();
  const auto ok = [&](int k) { return k != i && Resizable(k); };
  const auto forwards = [&](int from) {
    for (int k = from; k < n; ++k)
      if (ok(k)) return k;
    return -1;
  };
  const auto backwards = [&](int from) {
    for (int k = from; k >= 0; --k)
      if (ok(k)) return k;
    return -1;
  };
  if (mode == 4) return forwards(0);
  if (mode == 1) {
    const int k = backwards(i - 1);
    return k >= 0 ? k : forwards(i + 1);
  }
  const int k = forwards(i + 1);
  return k >= 0 ? k : backwards(i - 1);
}

void TPanelStack::UpdateDockPos() {
  int pos = 0;
  for (TStackPanel& p : Panels) {
    p.DockPos = pos;
    pos += p.Length;
  }
}

bool TPanelStack::ChangeDockedSize(int i, int newSize, int mode) {
  if (i < 0 || i >= Count() || Count() < 2) return false;
  const int nb = FindResizableNeighbour(i, mode);
  if (nb < 0) return false;
  TStackPanel& p = (*this)[i];
  TStackPanel& q = (*this)[nb];
  if (mode == 4) {
    // The neighbour gives up what it has above its minimum, never more: taking the whole
    // length could leave it shorter than its caption bar.
    const int take = std::clamp(newSize, 0, std::max(0, q.Length - q.MinLength));
    q.Length -= take;
    p.Length += take;
  } else if (mode == 3) {
    if (nb < i) return false;
    if (p.FixedDockedSize && !DesignTime) {
      // The panel keeps its length: the panels on both sides of it take the change.
      int before = -1;
      for (int k = i - 1; k >= 0 && before < 0; --k)
        if (Resizable(k)) before = k;
      const int delta = newSize - p.Length;
      if (before < 0 || q.Length - delta < q.MinLength ||
          (*this)[before].Length + delta < (*this)[before].MinLength)
        return false;
      q.Length -= delta;
      (*this)[before].Length += delta;
    } else {
      // A neighbour at its minimum refuses only a growth: the edge can always be dragged back,
      // or a squeezed neighbour would never get its room again by this edge.
      if (newSize > p.Length && q.Length <= q.MinLength) return false;
      const int target = std::max(newSize, p.MinLength);
      const int delta = std::min(target - p.Length, q.Length - q.MinLength);
      if (delta == 0) return false;
      p.Length += delta;
      q.Length -= delta;
    }
  } else {
    const int delta = newSize - p.Length;
    if (q.Length - delta < q.MinLength) return false;
    p.Length = newSize;
    q.Length -= delta;
  }
  SettleLengths();
  return true;
}

void TPanelStack::SettleLengths() {
  UpdateDockPos();
  for (TStackPanel& p : Panels) {
    p.Wanted = p.Length;
    p.Kept = false;
  }
}

void TPanelStack::FitToDock(int dockLength, int keep) {
  if (keep < 0) {
    for (int k = 0; k < Count(); ++k)
      if ((*this)[k].Kept) keep = k;
  }
  int diff = dockLength;
  for (TStackPanel& p : Panels) {
    if (p.Wanted < 0) p.Wanted = p.Length;
    p.Length = p.Wanted;
    diff -= p.Length;
  }
  const bool roomForAll = diff >= 0;
  bool squeezed = false;  // a panel was pushed down to its minimum
  const auto take = [&](int k) {
    TStackPanel& p = (*this)[k];
    const int change = std::max(diff, p.MinLength - p.Length);
    p.Length += change;
    diff -= change;
    squeezed |= change < 0 && p.Length <= p.MinLength;
  };
  for (int k = Count() - 1; k >= 0 && diff != 0; --k)
    if (k != keep && Resizable(k)) take(k);
  if (diff != 0 && keep >= 0 && keep < Count() && Resizable(keep)) take(keep);
  // The lengths of a fit that squeezed nothing are the ones the user sees from now on. A kept
  // panel's placement is not: the others' wanted lengths come back when the dock has room. Nor
  // is a lone panel's fill: it wants the length it had with the others when they come back.
  const bool kept = keep >= 0 && keep < Count();
  const bool settle = kept ? roomForAll : !squeezed && diff == 0;
  if (settle && Count() > 1) {
    SettleLengths();
    return;
  }
  UpdateDockPos();
  for (int k = 0; k < Count(); ++k) (*this)[k].Kept = !settle && k == keep;
}

bool TPanelStack::DockPosMoved() const {
  int pos = 0;
  for (const TStackPanel& p : Panels) {
    if (p.DockPos != pos) return true;
    pos += p.Length;
  }
  return false;
}

void TPanelStack::LengthsFromDockPos(int dockLength) {
  for (int k = 0; k + 1 < Count(); ++k) {
    TStackPanel& p = (*this)[k];
    if (Resizable(k)) p.Length = std::max((*this)[k + 1].DockPos - p.DockPos, p.MinLength);
  }
  SettleLengths();
  FitToDock(dockLength);
  // A lone panel fills the dock only because it is alone: that is not the length it wants.
  if (Count() > 1) SettleLengths();
}

int TPanelStack::Dock(TStackPanel panel, int formerLength, int defaultDockedSize) {
  if (Panels.empty()) {
    if (defaultDockedSize > 0) panel.Length = defaultDockedSize;
    Panels.push_back(panel);
    SettleLengths();
    return 0;
  }
  if (panel.DockPos < 0) {
    panel.Length = 0;
    Panels.push_back(panel);
    const int i = Count() - 1;
    ChangeDockedSize(i, formerLength, 4);
    (*this)[i].Length = std::max((*this)[i].Length, (*this)[i].MinLength);
    SettleLengths();
    return i;
  }
  const int i = PlaceOf(panel.DockPos);
  Insert(i, panel);
  return i;
}

int TPanelStack::PlaceOf(int dockPos) const {
  int i = 0;
  while (i < Count() && (*this)[i].DockPos < dockPos) ++i;  // before an equal one
  return i;
}

void TPanelStack::Insert(int i, TStackPanel panel) {
  // The others keep their wanted lengths: the fit that follows decides what they give up.
  Panels.insert(Panels.begin() + i, panel);
  UpdateDockPos();
}

void TPanelStack::Undock(int i) {
  Panels.erase(Panels.begin() + i);
  UpdateDockPos();
}

void TPanelStack::Swap(int i, int j) {
  std::swap(Panels[static_cast<std::size_t>(i)], Panels[static_cast<std::size_t>(j)]);
  SettleLengths();
}

bool TPanelStack::ChangeOthersState(int i, bool restore) {
  if (!Vertical || !SideDock || Count() < 2) return false;
  if (restore) {
    for (int k = Count() - 1; k >= 0; --k)
      if (k != i && (*this)[k].State == wsMinimized &&
          ChangeDockedSize(k, (*this)[k].RestoreSize, 1))
        (*this)[k].State = wsNormal;
    return true;
  }
  std::vector<int> lengths;
  for (const TStackPanel& p : Panels) lengths.push_back(p.Length);
  for (int k = 0; k < Count(); ++k) {
    TStackPanel& p = (*this)[k];
    if (k == i || p.State == wsMinimized) continue;
    if (p.State != wsMaximized) p.RestoreSize = lengths[static_cast<std::size_t>(k)];
    if (ChangeDockedSize(k, p.MinLength, 1)) p.State = wsMinimized;
  }
  return true;
}

bool TPanelStack::Minimize(int i) {
  TStackPanel& p = (*this)[i];
  if (p.State == wsMinimized || !Vertical || Count() < 2) return false;
  bool otherOpen = false;
  for (int k = 0; k < Count(); ++k) otherOpen |= k != i && (*this)[k].State != wsMinimized;
  if (!otherOpen) return false;
  const int restoreSize = p.Length > p.MinLength ? p.Length : p.RestoreSize;
  if (!ChangeDockedSize(i, p.MinLength, p.TaskPaneStyleResize ? 2 : 1)) return false;
  p.RestoreSize = restoreSize;
  p.State = wsMinimized;
  return true;
}

bool TPanelStack::Maximize(int i) {
  if ((*this)[i].State == wsMaximized || Count() < 2) return false;
  if (!ChangeOthersState(i, false)) return false;
  (*this)[i].State = wsMaximized;
  return true;
}

bool TPanelStack::Restore(int i) {
  TStackPanel& p = (*this)[i];
  if (p.State == wsMinimized) {
    if (!ChangeDockedSize(i, p.RestoreSize, p.TaskPaneStyleResize ? 2 : 1)) return false;
    p.State = wsNormal;
    for (int k = 0; k < Count(); ++k)
      if (k != i && (*this)[k].State == wsMaximized) {
        (*this)[k].State = wsNormal;
        break;
      }
    return true;
  }
  if (p.State == wsMaximized && ChangeOthersState(i, true)) {
    p.State = wsNormal;
    return true;
  }
  return false;
}

bool TPanelStack::SizeToggle(int i, bool maximize) {
  const TPanelWindowState s = (*this)[i].State;
  if ((s == wsMinimized && !maximize) || (s == wsMaximized && maximize)) return Restore(i);
  return maximize ? Maximize(i) : Minimize(i);
}

int TPanelStack::EdgeHitTest(int i, int along) const {
  const int length = (*this)[i].Length;
  if (along < 2 && i > 0) return Vertical ? htPanelTop : htPanelLeft;
  if (along >= length - 2 && i < Count() - 1) return Vertical ? htPanelBottom : htPanelRight;
  return 0;
}

}  // namespace skbar

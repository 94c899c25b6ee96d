#include "tb/dock_layout.h"

#include <algorithm>
#include <cstddef>

namespace tb {

namespace {

struct Slot {
  IDockClient* client = nullptr;
  bool visible = false;  // visible on the dock
  int row = -1;          // row on the dock, -1 when not visible there
  int listRow = 0;       // row in the list
  int gap = 0;
  int fullLength = 0;
  int minLength = 0;
  int length = 0;
  int overlap = 0;
  int pos = 0;
  TTBShrinkMode shrinkMode = TTBShrinkMode::tbsmNone;
  bool needArrange = false;
  TDockClientState& S() const { return client->DockState(); }
};

constexpr int kFarPosition = 1 << 24;

int Along(TPoint p, bool leftRight) {
  return leftRight ? p.y : p.x;
}
int Across(TPoint p, bool leftRight) {
  return leftRight ? p.x : p.y;
}

bool SortsBefore(IDockClient* a, IDockClient* b) {
  const auto& sa = a->DockState();
  const auto& sb = b->DockState();
  if (sa.DockRow != sb.DockRow) return sa.DockRow < sb.DockRow;
  return sa.DockPos < sb.DockPos;
}

// Every slot other than `except` at or after `row` moves one row down.
void ShiftRowsDown(std::vector<Slot>& slots, std::size_t from, int row, const Slot* except) {
  for (std::size_t i = from; i < slots.size(); ++i) {
    Slot& s = slots[i];
    if (&s == except) continue;
    if (s.listRow >= row) ++s.listRow;
    if (s.row >= row) ++s.row;
  }
}

// Gives a flagged window sharing its row the row alone (two passes: own-row request, full
// size).
void GiveOwnRows(std::vector<Slot>& slots, int& highestRow, bool fullSizePass) {
  for (int r = 0; r <= highestRow; ++r) {
    for (Slot& s : slots) {
      const bool flagged = fullSizePass ? s.S().FullSize : s.S().InsertRowBefore;
      if (!flagged || s.listRow != r) continue;
      const bool shared = std::any_of(slots.begin(), slots.end(),
                                      [&](const Slot& o) { return &o != &s && o.listRow == r; });
      if (!shared) continue;
      ShiftRowsDown(slots, 0, r, &s);
      ++highestRow;
      break;
    }
  }
}

// Rows no window uses go and the rest keep their order, numbered from 0 (a stored row may be
// any number, negative or huge).
void RemoveEmptyRows(std::vector<Slot>& slots, int& highestRow) {
  std::vector<int> used;
  used.reserve(slots.size());
  for (const Slot& s : slots) used.push_back(s.listRow);
  std::sort(used.begin(), used.end());
  used.erase(std::unique(used.begin(), used.end()), used.end());
  for (Slot& s : slots) {
    s.listRow =
        static_cast<int>(std::lower_bound(used.begin(), used.end(), s.listRow) - used.begin());
    s.row = s.visible ? s.listRow : -1;
  }
  highestRow = static_cast<int>(used.size()) - 1;
}

// One row's lengths, gaps, shrinking and positions.
class RowArranger {
 public:
  RowArranger(std::vector<Slot>& slots, const TDockLayoutParams& p, int dragIndex, int& highestRow)
      : slots_(slots), p_(p), dragIndex_(dragIndex), highestRow_(highestRow) {}

  void Arrange(int r) {
    Fit(r);
    members_.clear();
    for (std::size_t i = 0; i < slots_.size(); ++i)
      if (slots_[i].row == r) members_.push_back(i);
    if (members_.empty()) return;
    int total = 0;
    for (std::size_t i : members_) total += slots_[i].length;
    overflow_ = total - p_.clientLength;
    Gaps();
    PushByDraggedWindow();
    FitGaps();
    if (overflow_ > 0) Shrink();
    FinalPositions();
  }

 private:
  void Fit(int r) {
    int minTotal = 0;
    bool holdsOne = false;
    for (std::size_t i = 0; i < slots_.size(); ++i) {
      Slot& s = slots_[i];
      if (s.row != r) continue;
      const TPoint size = s.client->DockClientSize();
      const TPoint frame = s.client->DockFrameSize();
      s.fullLength = s.length =
          Along(size, IsLeftRight(p_.position)) + Along(frame, IsLeftRight(p_.position));
      s.shrinkMode = s.client->DockShrinkMode();
      s.minLength = std::clamp(s.client->DockShrinkLimit(), 0, s.fullLength);
      minTotal += s.shrinkMode == TTBShrinkMode::tbsmChevron ? s.minLength : s.fullLength;
      if (holdsOne && minTotal > p_.clientLength && !p_.limitToOneRow) {
        // This window and every later one at or after the row wrap to the next.
        ShiftRowsDown(slots_, i, r, nullptr);
        ++highestRow_;
        return;
      }
      holdsOne = true;
    }
  }

  void Gaps() {
    int curPos = 0, prevEnd = 0, minSum = 0;
    for (std::size_t i : members_) {
      Slot& s = slots_[i];
      // Far beyond either end of any row, so that the sums below stay in range.
      int wanted = std::clamp(s.pos, -kFarPosition, kFarPosition);
      if ((s.S().FullSize || s.S().Stretch) && curPos == 0) wanted = 0;
      if (static_cast<int>(i) == dragIndex_) draggedWanted_ = wanted;
      wanted = std::max(wanted, minSum);
      if (wanted <= curPos) {
        if (wanted < prevEnd) s.overlap = prevEnd - wanted;
      } else if (overflow_ < 1) {
        s.gap = wanted - curPos;
        curPos = wanted;
      } else {
        wanted = curPos;
      }
      curPos += s.length;
      prevEnd = wanted + s.length;
      minSum += s.minLength;
    }
  }

  // With room to spare, a dragged window pulled back over its predecessors takes their gaps
  // (nearest first); its successor gets them, so it stays where it was.
  void PushByDraggedWindow() {
    if (overflow_ >= 0) return;
    auto at = std::find(members_.begin(), members_.end(), static_cast<std::size_t>(dragIndex_));
    if (dragIndex_ < 0 || at == members_.end() || at == members_.begin()) return;
    int end = 0;
    for (auto it = members_.begin(); it != at; ++it) end += slots_[*it].gap + slots_[*it].length;
    int excess = end - draggedWanted_;
    int taken = 0;
    for (auto it = at; excess > 0 && it != members_.begin();) {
      --it;
      const int d = std::min(excess, slots_[*it].gap);
      slots_[*it].gap -= d;
      excess -= d;
      taken += d;
    }
    if (std::next(at) != members_.end()) slots_[*std::next(at)].gap += taken;
  }

  void FitGaps() {
    int used = 0;
    for (std::size_t i : members_) used += slots_[i].gap + slots_[i].length;
    int excess = used - p_.clientLength;
    for (auto it = members_.rbegin(); excess > 0 && it != members_.rend(); ++it) {
      const int d = std::min(excess, slots_[*it].gap);
      slots_[*it].gap -= d;
      excess -= d;
    }
  }

  void Shrink() {
    int remaining = overflow_;
    int pending = 0;
    for (std::size_t k = 0; k < members_.size(); ++k) {
      Slot& s = slots_[members_[k]];
      if (static_cast<int>(members_[k]) == dragIndex_ && members_.size() >= 2)
        s.S().DragCanSplit = true;
      pending = std::min(pending + s.overlap, remaining);
      for (std::size_t j = k; pending > 0 && j > 0;) {
        --j;
        if (static_cast<int>(members_[j]) == dragIndex_) break;
        Slot& e = slots_[members_[j]];
        if (e.shrinkMode != TTBShrinkMode::tbsmChevron) continue;
        const int d = std::min(pending, e.length - e.minLength);
        e.length -= d;
        pending -= d;
        remaining -= d;
      }
    }
    for (auto it = members_.rbegin(); remaining > 0 && it != members_.rend(); ++it) {
      Slot& s = slots_[*it];
      if (s.shrinkMode == TTBShrinkMode::tbsmChevron ||
          (s.shrinkMode == TTBShrinkMode::tbsmWrap && members_.size() == 1)) {
        const int d = std::min(remaining, s.length - s.minLength);
        s.length -= d;
        remaining -= d;
      }
    }
  }

  void FinalPositions() {
    int curPos = 0;
    for (std::size_t k = 0; k < members_.size(); ++k) {
      Slot& s = slots_[members_[k]];
      if (s.S().FullSize || s.S().Stretch) {
        s.length += s.gap;
        s.gap = 0;
      }
      curPos += s.gap;
      if (s.S().FullSize) s.length = std::max(s.length, p_.clientLength);
      if (s.S().Stretch) {
        if (k + 1 < members_.size()) {
          Slot& next = slots_[members_[k + 1]];
          s.length += next.gap;
          next.gap = 0;
        } else {
          // Never shorter than itself when the row is overfull.
          s.length = std::max(s.length, p_.clientLength - curPos);
        }
      }
      s.pos = curPos;
      curPos += s.length;
    }
  }

  std::vector<Slot>& slots_;
  const TDockLayoutParams& p_;
  int dragIndex_;
  int& highestRow_;
  std::vector<std::size_t> members_;
  int overflow_ = 0;
  int draggedWanted_ = 0;
};

int PlaceRows(const TDockLayoutParams& p, std::vector<Slot>& slots, int highestRow) {
  const bool leftRight = IsLeftRight(p.position);
  int rowStart = 0;
  for (int r = 0; r <= highestRow; ++r) {
    int thickness = 0;
    bool any = false;
    for (Slot& s : slots) {
      if (s.row != r) continue;
      any = true;
      TDockClientState& st = s.S();
      const int newSize = s.length >= s.fullLength ? 0 : s.length;
      const bool changed = newSize != st.CurrentSize;
      st.CurrentSize = newSize;
      TPoint size;
      if (s.shrinkMode != TTBShrinkMode::tbsmNone && changed) {
        size = s.client->DockLayoutSize(DockTypeOf(p.position));
        s.needArrange = true;
      } else if (s.shrinkMode == TTBShrinkMode::tbsmWrap && s.length < s.fullLength) {
        size = s.client->ClientSize();
      } else {
        size = s.client->DockClientSize();
      }
      st.LastRowSize = Across(size, leftRight);
      thickness = std::max(thickness, st.LastRowSize);
    }
    if (any) thickness += 4;
    for (Slot& s : slots) {
      if (s.row != r) continue;
      TDockClientState& st = s.S();
      const int savedSize = st.CurrentSize;
      ++st.UpdatingBounds;
      if (s.needArrange) st.ArrangeNeeded = true;
      const TRect bounds = leftRight
                               ? TRect{rowStart, s.pos, rowStart + thickness, s.pos + s.length}
                               : TRect{s.pos, rowStart, s.pos + s.length, rowStart + thickness};
      s.client->PlaceBounds(bounds);
      if (st.ArrangeNeeded) s.client->ArrangeContents();
      st.CurrentSize = savedSize;
      --st.UpdatingBounds;
    }
    rowStart += thickness;
  }
  return rowStart + p.nonClientThickness;
}

}  // namespace

int ArrangeDockWindows(const TDockLayoutParams& p, std::vector<IDockClient*>& dockList,
                       std::vector<IDockClient*>& visibleList) {
  std::erase_if(dockList, [](IDockClient* c) { return c->BeingDestroyed(); });
  std::erase_if(visibleList, [](IDockClient* c) { return c->BeingDestroyed(); });
  if (visibleList.empty()) return p.fixAlign ? 1 : 0;
  if (p.limitToOneRow)
    for (IDockClient* c : dockList) c->DockState().DockRow = 0;

  std::vector<IDockClient*> work = dockList;
  std::stable_sort(work.begin(), work.end(), SortsBefore);
  for (std::size_t i = 0; i < work.size(); ++i) {
    const auto& st = work[i]->DockState();
    if (!(st.DragMode && st.DragSplitting)) continue;
    // A window splitting its row keeps its list place.
    const auto original = static_cast<std::size_t>(
        std::find(dockList.begin(), dockList.end(), work[i]) - dockList.begin());
    IDockClient* c = work[i];
    work.erase(work.begin() + static_cast<std::ptrdiff_t>(i));
    work.insert(work.begin() + static_cast<std::ptrdiff_t>(std::min(original, work.size())), c);
    break;
  }
  int dragIndex = -1;
  for (std::size_t i = 0; i < work.size(); ++i)
    if (work[i]->DockState().DragMode) dragIndex = static_cast<int>(i);
  std::stable_sort(visibleList.begin(), visibleList.end(), SortsBefore);

  std::vector<Slot> slots(work.size());
  int highestRow = -1;
  for (std::size_t i = 0; i < work.size(); ++i) {
    Slot& s = slots[i];
    s.client = work[i];
    const auto& st = s.S();
    s.listRow = st.DockRow;
    s.visible = work[i]->VisibleOnDock();
    s.pos = st.DockPos;
  }
  RemoveEmptyRows(slots, highestRow);
  // A dock limited to one row opens no second row, not even for a full-size window: its
  // windows all stay in row 0, as the limit promises.
  if (!p.limitToOneRow) {
    GiveOwnRows(slots, highestRow, false);
    GiveOwnRows(slots, highestRow, true);
  }
  RemoveEmptyRows(slots, highestRow);
  RowArranger rows(slots, p, dragIndex, highestRow);
  for (int r = 0; r <= highestRow; ++r) rows.Arrange(r);

  for (Slot& s : slots) {
    TDockClientState& st = s.S();
    st.EffectiveDockRow = s.listRow;
    st.EffectiveDockPos = s.pos;
    if (p.commitNewPositions) {
      st.DockRow = s.listRow;
      st.DockPos = s.pos;
    }
  }
  if (p.commitNewPositions) dockList = work;
  return PlaceRows(p, slots, highestRow);
}

int HighestRow(const std::vector<IDockClient*>& dockList, bool effective) {
  int result = -1;
  for (IDockClient* c : dockList) {
    const auto& st = c->DockState();
    result = std::max(result, effective ? st.EffectiveDockRow : st.DockRow);
  }
  return result;
}

int CurrentRowSize(const std::vector<IDockClient*>& dockList, bool leftRight, int row,
                   bool& fullSize) {
  int result = 0;
  if (row < 0) return 0;
  for (IDockClient* c : dockList) {
    if (!c->VisibleOnDock() || c->DockState().EffectiveDockRow != row) continue;
    result = std::max(result, Across(c->OuterSize(), leftRight));
    fullSize = c->DockState().FullSize;
  }
  return result;
}

int MinRowSize(const std::vector<IDockClient*>& dockList, int row, const IDockClient* exclude) {
  int result = 0;
  for (IDockClient* c : dockList) {
    if (c == exclude || !c->VisibleOnDock() || c->DockState().EffectiveDockRow != row) continue;
    result = std::max(result, c->DockState().LastRowSize);
  }
  return result;
}

int RowOfCoordinate(const std::vector<IDockClient*>& dockList, bool leftRight, int xy) {
  const int highest = HighestRow(dockList, true);
  int total = 0;
  for (int r = 0; r <= highest; ++r) {
    bool fullSize = false;
    const int size = CurrentRowSize(dockList, leftRight, r, fullSize);
    if (size == 0) continue;
    total += size;
    if (total > xy) return r;
  }
  return highest + 1;
}

void AdoptEffectivePositions(const std::vector<IDockClient*>& dockList) {
  for (IDockClient* c : dockList) {
    if (!c->VisibleOnDock()) continue;
    TDockClientState& st = c->DockState();
    st.DockRow = st.EffectiveDockRow;
    st.DockPos = st.EffectiveDockPos;
  }
}

}  // namespace tb

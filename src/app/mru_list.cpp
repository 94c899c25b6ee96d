#include "app/mru_list.h"

#include <algorithm>
#include <cwctype>

#include "ui/properties.h"

namespace app {

namespace {

std::wstring Lower(std::wstring_view text) {
  std::wstring lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return lower;
}

// The name part of a path, with either kind of separator.
std::wstring FileTitle(const std::wstring& name) {
  const auto slash = name.find_last_of(L"\\/:");
  return slash == std::wstring::npos ? name : name.substr(slash + 1);
}

}  // namespace

std::wstring TMRUListStrings::Get(int index) const {
  CheckIndex(index, Count());
  return names_[static_cast<std::size_t>(index)];
}

void TMRUListStrings::Put(int index, const std::wstring& text) {
  CheckIndex(index, Count());
  names_[static_cast<std::size_t>(index)] = text;
  Changed();
}

void TMRUListStrings::Insert(int index, const std::wstring& text) {
  CheckIndex(index, Count() + 1);
  names_.insert(names_.begin() + index, text);
  Changed();
}

void TMRUListStrings::Delete(int index) {
  CheckIndex(index, Count());
  names_.erase(names_.begin() + index);
  Changed();
}

void TMRUListStrings::Move(int from, int to) {
  CheckIndex(from, Count());
  CheckIndex(to, Count());
  if (from == to) return;
  std::wstring name = std::move(names_[static_cast<std::size_t>(from)]);
  names_.erase(names_.begin() + from);
  names_.insert(names_.begin() + to, std::move(name));
  Changed();
}

void TMRUListStrings::Assign(const std::vector<std::wstring>& lines) {
  names_ = lines;
  Changed();
}

int TMRUListStrings::IndexOf(std::wstring_view text) const {
  const std::wstring wanted = Lower(text);
  for (std::size_t i = 0; i < names_.size(); ++i)
    if (Lower(names_[i]) == wanted) return static_cast<int>(i);
  return -1;
}

void TMRUListStrings::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) IndexError(index);
}

void TMRUListStrings::Changed() {
  list_.Trim();
  if (list_.OnChange && !list_.Loading()) list_.OnChange(&list_);
}

TMRUList::TMRUList(ui::TComponent* owner) : ui::TComponent(owner) {}

void TMRUList::GetPublishedProps(std::vector<const ui::PropInfo*>& out) const {
  ui::TComponent::GetPublishedProps(out);
  static constexpr ui::PropInfo kProps[] = {
      ui::StringsProp<TMRUList, &TMRUList::Items>(L"Items"),
      ui::IntProp<TMRUList, &TMRUList::MaxItems, &TMRUList::SetMaxItems>(L"MaxItems"),
  };
  for (const ui::PropInfo& prop : kProps) out.push_back(&prop);
}

void TMRUList::SetMaxItems(int maxItems) {
  maxItems_ = maxItems;
  if (Trim() && OnChange) OnChange(this);
}

bool TMRUList::Trim() {
  const std::size_t limit = static_cast<std::size_t>(std::max(maxItems_, 0));
  if (items_.names_.size() <= limit) return false;
  items_.names_.resize(limit);
  return true;
}

void TMRUList::Add(const std::wstring& fileName) {
  const std::wstring name = addFullPath_ && ExpandFileName ? ExpandFileName(fileName) : fileName;
  const int index = items_.IndexOf(name);
  if (index < 0) {
    items_.Insert(0, name);
    return;
  }
  if (index > 0) items_.Move(index, 0);
  items_.Put(0, name);
}

void TMRUList::Remove(const std::wstring& fileName) {
  const int index = items_.IndexOf(fileName);
  if (index >= 0) items_.Delete(index);
}

void TMRUList::Click(int index) {
  if (index < 0 || index >= items_.Count()) return;
  if (index > 0) items_.Move(index, 0);
  if (OnClick) OnClick(*this, items_.Get(0));
}

std::wstring TMRUList::ItemCaption(int index) const {
  const std::wstring& name = items_.names_.at(static_cast<std::size_t>(index));
  const std::wstring text = DoubleAmpersands(hidePathExtension_ ? FileTitle(name) : name);
  if (index < 9) return L"&" + std::wstring(1, static_cast<wchar_t>(L'1' + index)) + L" " + text;
  if (index < 35)
    return L"&" + std::wstring(1, static_cast<wchar_t>(L'A' + index - 9)) + L" " + text;
  return text;
}

std::wstring DoubleAmpersands(std::wstring_view text) {
  std::wstring doubled;
  for (const wchar_t c : text) {
    doubled += c;
    if (c == L'&') doubled += L'&';
  }
  return doubled;
}

}  // namespace app

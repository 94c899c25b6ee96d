// Lists of text lines.
//   TStrings (abstract): Count/Get/Put/Insert/Delete/Clear/Add/IndexOf/Move/Exchange, a data
//   word per line (AddObject/Objects/PutObject), virtual Assign(lines) (replaces the whole list
//   in one go), AssignFrom(other), ToVector, Text/SetText (CR LF), LoadFromStream (UTF-8 or
//   UTF-16 LE after a byte-order mark, else the system code page), SaveToStream,
//   BeginUpdate/EndUpdate.
//   TStringList: the stored list, optionally sorted (Duplicates: ignore, accept or raise),
//   case-insensitive unless CaseSensitive, Sort/CustomSort, and an OnChange event.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "rtl/stream.h"
#include "ui/persistent.h"

namespace ui {

enum class TextEncoding { Ansi, Utf8, Utf16 };

class TStrings : public TPersistent {
 public:
  std::wstring_view ClassName() const override { return L"TStrings"; }
  TStrings* AsStrings() override { return this; }

  virtual int Count() const = 0;
  virtual std::wstring Get(int index) const = 0;
  virtual void Put(int index, const std::wstring& text);
  virtual void Insert(int index, const std::wstring& text) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear();
  // Appends (or, in a sorted list, inserts in order); returns the line's index.
  virtual int Add(const std::wstring& text);
  // The first line equal to `text` (case-insensitive unless the list says otherwise), or -1.
  virtual int IndexOf(std::wstring_view text) const;
  virtual void Move(int from, int to);
  virtual void Exchange(int a, int b);
  // Replaces the content with `lines`.
  virtual void Assign(const std::vector<std::wstring>& lines);
  void AssignFrom(const TStrings& source) { Assign(source.ToVector()); }

  virtual std::intptr_t Objects(int /*index*/) const { return 0; }
  virtual void PutObject(int /*index*/, std::intptr_t /*data*/) {}
  int AddObject(const std::wstring& text, std::intptr_t data);
  void InsertObject(int index, const std::wstring& text, std::intptr_t data);

  std::vector<std::wstring> ToVector() const;
  // Each line followed by CR LF.
  std::wstring Text() const;
  // Splits at CR LF, CR or LF; a final line break adds no empty line.
  void SetText(std::wstring_view text);

  virtual void LoadFromStream(rtl::TStream& stream);
  void SaveToStream(rtl::TStream& stream, TextEncoding encoding = TextEncoding::Ansi) const;

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

 protected:
  // Called when the first BeginUpdate starts a batch (true) and the last EndUpdate ends it.
  virtual void SetUpdateState(bool /*updating*/) {}
  virtual bool CaseSensitiveCompare() const { return false; }
  // Raises the list-index error for `index`.
  [[noreturn]] static void IndexError(int index);

 private:
  int updateCount_ = 0;
};

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList : public TStrings {
 public:
  TStringList() = default;
  explicit TStringList(std::vector<std::wstring> lines);

  std::wstring_view ClassName() const override { return L"TStringList"; }

  int Count() const override { return static_cast<int>(items_.size()); }
  std::wstring Get(int index) const override;
  void Put(int index, const std::wstring& text) override;
  void Insert(int index, const std::wstring& text) override;
  void Delete(int index) override;
  void Clear() override;
  int Add(const std::wstring& text) override;
  int IndexOf(std::wstring_view text) const override;
  void Exchange(int a, int b) override;
  void Assign(const std::vector<std::wstring>& lines) override;
  std::intptr_t Objects(int index) const override;
  void PutObject(int index, std::intptr_t data) override;

  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates duplicates) { duplicates_ = duplicates; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool caseSensitive);

  // In a sorted list: whether `text` is present; `index` is where it is or would go.
  bool Find(std::wstring_view text, int& index) const;
  void Sort();
  // Stable sort by `compare` (negative: a before b).
  void CustomSort(const std::function<int(const TStringList&, int, int)>& compare);

  std::function<void(TStringList&)> OnChange;

 protected:
  void SetUpdateState(bool updating) override;
  bool CaseSensitiveCompare() const override { return caseSensitive_; }
  void Changed();

 private:
  struct Item {
    std::wstring text;
    std::intptr_t data = 0;
  };
  int Compare(std::wstring_view a, std::wstring_view b) const;
  void CheckIndex(int index, int limit) const;

  std::vector<Item> items_;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  TDuplicates duplicates_ = TDuplicates::dupIgnore;
};

}  // namespace ui

// Property views of a rich-edit control's character and paragraph formats. Each read fetches
// the format; each write sends a record with only its own mask bit set, so no other attribute
// changes. Without a window nothing is sent and reads give zero values. Properties of the newer
// library read as off or zero and ignore writes when only the old one is loaded.
//   TUxTextAttributes: the default format, the selection's or the word's at the selection.
//   TUxParaAttributes: the paragraphs of the selection.
#pragma once

#include <windows.h>

#include <richedit.h>

#include <string>

#include "ui/persistent.h"
#include "ui/win32/graphics.h"
#include "ux/rich_attributes.h"

namespace ux {

class TUxCustomRichEdit;

class TUxTextAttributes : public ui::TPersistent {
 public:
  TUxTextAttributes(TUxCustomRichEdit& richEdit, TUxAttributeType type);
  std::wstring_view ClassName() const override { return L"TUxTextAttributes"; }

  BYTE Charset();
  void SetCharset(BYTE value);
  ui::TColor Color();
  void SetColor(ui::TColor value);
  ui::TColor BackColor();
  void SetBackColor(ui::TColor value);
  std::wstring Name();
  void SetName(const std::wstring& value);
  ui::TFontPitch Pitch();
  void SetPitch(ui::TFontPitch value);
  int Size();
  void SetSize(int points);
  int Height();
  void SetHeight(int pixels);
  int Offset();
  void SetOffset(int points);
  ui::TFontStyles Style();
  void SetStyle(ui::TFontStyles value);
  bool Protected();
  void SetProtected(bool value);
  bool Link();
  void SetLink(bool value);
  bool Hidden();
  void SetHidden(bool value);
  bool Disabled();
  void SetDisabled(bool value);
  bool SmallCaps();
  void SetSmallCaps(bool value);
  bool AllCaps();
  void SetAllCaps(bool value);
  bool Outline();
  void SetOutline(bool value);
  bool Shadow();
  void SetShadow(bool value);
  bool Emboss();
  void SetEmboss(bool value);
  bool Imprint();
  void SetImprint(bool value);
  TSubscriptStyle SubscriptStyle();
  void SetSubscriptStyle(TSubscriptStyle value);
  TUnderlineType UnderlineType();
  void SetUnderlineType(TUnderlineType value);
  int RevAuthorIndex();
  void SetRevAuthorIndex(int value);
  TAnimationType Animation();
  void SetAnimation(TAnimationType value);
  int Spacing();  // twips
  void SetSpacing(int value);
  int Kerning();  // the smallest size, in twips, that is kerned
  void SetKerning(int value);
  TUxConsistentAttributes ConsistentAttributes();

  // From a font or another attributes object; to a font.
  void Assign(ui::TFont& font);
  void Assign(TUxTextAttributes& source);
  void AssignTo(ui::TFont& font);

 private:
  CHARFORMAT2W Get();
  void Set(CHARFORMAT2W& format, DWORD mask);
  // Sets the format over the range that `range` (SCF_ flags) names.
  void SetOver(CHARFORMAT2W& format, DWORD mask, DWORD range);
  void SetPitchOver(int start, int end, BYTE pitch);
  bool Effect(DWORD bit, bool newerOnly);
  void SetEffect(DWORD bit, bool on, bool newerOnly);
  bool Windowed() const;
  bool Newer() const;
  UINT RecordSize() const;

  TUxCustomRichEdit& richEdit_;
  TUxAttributeType type_;
};

class TUxParaAttributes : public ui::TPersistent {
 public:
  explicit TUxParaAttributes(TUxCustomRichEdit& richEdit) : richEdit_(richEdit) {}
  std::wstring_view ClassName() const override { return L"TUxParaAttributes"; }

  TParaAlignment Alignment();
  void SetAlignment(TParaAlignment value);
  int FirstIndent();
  void SetFirstIndent(int points);
  int LeftIndent();
  void SetLeftIndent(int points);
  int RightIndent();
  void SetRightIndent(int points);
  TUxNumbering Numbering();
  void SetNumbering(TUxNumbering value);
  TUxNumberingStyle NumberingStyle();
  void SetNumberingStyle(TUxNumberingStyle value);
  int NumberingTab();
  void SetNumberingTab(int points);
  int SpaceBefore();
  void SetSpaceBefore(int points);
  int SpaceAfter();
  void SetSpaceAfter(int points);
  int LineSpacing();
  TLineSpacingRule LineSpacingRule();
  void SetLineSpacing(TLineSpacingRule rule, int value);
  int HeadingStyle();
  void SetHeadingStyle(int value);
  // Tab stops in points; indexes outside 0..31 read 0 and are not written.
  int Tab(int index);
  void SetTab(int index, int points);
  int TabCount();
  void SetTabCount(int count);
  TParaTableStyle TableStyle();
  void SetTableStyle(TParaTableStyle value);

  void Assign(TUxParaAttributes& source);

 private:
  PARAFORMAT2 Get();
  void Set(PARAFORMAT2& format, DWORD mask);
  bool Windowed() const;

  TUxCustomRichEdit& richEdit_;
};

}  // namespace ux

// The integer map, the transformation's default chain and the property copier, each over a
// small stand-in base with the interface the bitmap unit gives them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/ordinal_maps.h"
#include "gfx/smart_assign.h"
#include "gfx/transforms.h"

namespace gfx {
namespace {

struct NotifiableBase : ui::TPersistent {
  virtual void Changed() { ++changes; }
  int changes = 0;
};

struct SizedBase : NotifiableBase {
  virtual bool Empty() const { return FWidth == 0 || FHeight == 0; }
  bool SetSize(std::int32_t w, std::int32_t h) {
    ChangeSize(FWidth, FHeight, std::max(w, 0), std::max(h, 0));
    Changed();
    return true;
  }
  std::int32_t Width() const { return FWidth; }
  std::int32_t Height() const { return FHeight; }

 protected:
  virtual void ChangeSize(std::int32_t& Width, std::int32_t& Height, std::int32_t NewWidth,
                          std::int32_t NewHeight) {
    Width = NewWidth;
    Height = NewHeight;
  }
  std::int32_t FWidth = 0, FHeight = 0;
};

TEST(IntegerMap, SizedFilledAndAddressedRowAfterRow) {
  TIntegerMapOf<SizedBase> map;
  EXPECT_TRUE(map.Empty());
  map.SetSize(3, 2);
  EXPECT_FALSE(map.Empty());
  map.Clear(-5);
  EXPECT_EQ(map.changes, 2);
  *map.ValPtr(2, 1) = 42;
  EXPECT_EQ(map.Bits()[5], 42);
  EXPECT_EQ(map.Value(0, 1), -5);
  map.SetSize(-1, 4);
  EXPECT_TRUE(map.Empty());
  EXPECT_EQ(map.Width(), 0);
}

// Forward: x + 0.25, y * 2; no reverse form.
struct Shift : TTransformationOf<NotifiableBase> {
  std::wstring_view ClassName() const override { return L"TShift"; }
  int prepared = 0;

 protected:
  void PrepareTransform() override { ++prepared; }
  void TransformFloat(float x, float y, float& dx, float& dy) override {
    dx = x + 0.25f;
    dy = y * 2;
  }
};

TEST(Transformation, DefaultChainAndLazyPreparation) {
  Shift t;
  EXPECT_EQ(t.Transform(TFloatPoint{1.5f, 2}), (TFloatPoint{1.75f, 4}));
  EXPECT_EQ(t.Transform(TFixedPoint{0x18000, -0x8000}), (TFixedPoint{0x1C000, -0x10000}));
  // 3 -> 3.25 rounds to 3; -1 -> -0.75 -> FixedRound gives -1 (half rounds down).
  EXPECT_EQ(t.Transform(TPoint{3, -1}), (TPoint{3, -2}));
  EXPECT_EQ(t.prepared, 1);
  // Beyond the 16.16 range the result saturates: 32768.25 and 32768.
  EXPECT_EQ(t.Transform(TFixedPoint{0x7FFFFFFF, 0x40000000}), (TFixedPoint{INT32_MAX, INT32_MAX}));
  t.SetSrcRect({0.5f, 1.5f, 2.5f, 3.4f});
  EXPECT_FALSE(t.TransformValid);
  EXPECT_EQ(t.changes, 1);
  EXPECT_EQ(t.GetTransformedBounds(), (TRect{0, 2, 2, 3}));  // ties to even
  t.Transform(TPoint{0, 0});
  EXPECT_EQ(t.prepared, 2);
  try {
    t.ReverseTransform(TPoint{1, 1});
    FAIL();
  } catch (const ETransformNotImplemented& e) {
    EXPECT_STREQ(e.what(), "Reverse transformation is not implemented in TShift.");
  }
  TTransformationOf<NotifiableBase> bare;
  EXPECT_THROW(bare.Transform(TFloatPoint{}), ETransformNotImplemented);
}

struct Inner : ui::TPersistent {
  int depth = 0;
  int GetDepth() const { return depth; }
  void SetDepth(int v) { depth = v; }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override {
    static const ui::PropInfo props[] = {
        ui::IntProp<Inner, &Inner::GetDepth, &Inner::SetDepth>(L"Depth")};
    for (const auto& p : props) out.push_back(&p);
  }
};

struct Outer : ui::TPersistent {
  int width = 0;
  std::wstring name;
  double scale = 0;
  int readOnly = 0;
  Inner inner;
  int GetWidth() const { return width; }
  void SetWidth(int v) { width = v; }
  std::wstring GetName() const { return name; }
  void SetName(const std::wstring& v) { name = v; }
  double GetScale() const { return scale; }
  void SetScale(double v) { scale = v; }
  Inner* GetInner() const { return const_cast<Inner*>(&inner); }
  void GetPublishedProps(std::vector<const ui::PropInfo*>& out) const override {
    static const ui::PropInfo props[] = {
        ui::IntProp<Outer, &Outer::GetWidth, &Outer::SetWidth>(L"Width"),
        ui::StringProp<Outer, &Outer::GetName, &Outer::SetName>(L"Name"),
        ui::FloatProp<Outer, &Outer::GetScale, &Outer::SetScale>(L"Scale"),
        ui::ObjectProp<Outer, Inner, &Outer::GetInner>(L"Inner")};
    for (const auto& p : props) out.push_back(&p);
  }
};

TEST(SmartAssign, CopiesValuesOfTheChosenKindsAndAssignsObjects) {
  Outer src, dst;
  src.width = 7, src.name = L"box", src.scale = 0.1, src.inner.depth = 3;
  SmartAssign(src, dst, TypeKindBit(ui::TypeKind::Integer) | TypeKindBit(ui::TypeKind::Class));
  EXPECT_EQ(dst.width, 7);
  EXPECT_EQ(dst.inner.depth, 3);
  EXPECT_EQ(dst.name, L"");
  SmartAssign(src, dst);
  EXPECT_EQ(dst.name, L"box");
  EXPECT_EQ(dst.scale, 0.1);  // exact, not through text
  int assigned = 0;
  SmartAssign(src, dst, AllTypeKinds,
              [&](ui::TPersistent&, const ui::TPersistent&) { ++assigned; });
  EXPECT_EQ(assigned, 1);
}

}  // namespace
}  // namespace gfx

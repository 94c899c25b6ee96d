// TTransformation: the abstract coordinate transformation. A subclass gives the float form of
// a transform (or any other form); the fixed and integer forms default to converting through
// it. Prepared lazily: a change of SrcRect (or any Changed) marks it invalid, and the next
// Transform or ReverseTransform prepares it first. Written over its base class
// (TNotifiablePersistent); TTransformation names it over that base where it exists.
#pragma once

#include <cmath>
#include <string>

#include "gfx/fixed_math.h"
#include "gfx/types.h"
#include "rtl/exceptions.h"
#include "ui/text.h"

namespace gfx {

class ETransformNotImplemented : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
};

// Base: a notifiable persistent with a virtual Changed.
template <class Base>
class TTransformationOf : public Base {
 public:
  std::wstring_view ClassName() const override { return L"TTransformation"; }

  void Changed() override {
    TransformValid = false;
    Base::Changed();
  }

  const TFloatRect& SrcRect() const { return FSrcRect; }
  void SetSrcRect(const TFloatRect& Value) {
    FSrcRect = Value;
    Changed();
  }

  virtual bool HasTransformedBounds() const { return true; }
  // The rectangle rounded to whole pixels (each edge to the closest, ties to even).
  virtual TRect GetTransformedBounds(const TFloatRect& ASrcRect) {
    return {Round(ASrcRect.left), Round(ASrcRect.top), Round(ASrcRect.right),
            Round(ASrcRect.bottom)};
  }
  TRect GetTransformedBounds() { return GetTransformedBounds(FSrcRect); }

  TFloatPoint ReverseTransform(const TFloatPoint& P) {
    return Apply(P, &TTransformationOf::ReverseTransformFloat);
  }
  TFixedPoint ReverseTransform(const TFixedPoint& P) {
    return Apply(P, &TTransformationOf::ReverseTransformFixed);
  }
  TPoint ReverseTransform(const TPoint& P) {
    return Apply(P, &TTransformationOf::ReverseTransformInt);
  }
  TFloatPoint Transform(const TFloatPoint& P) {
    return Apply(P, &TTransformationOf::TransformFloat);
  }
  TFixedPoint Transform(const TFixedPoint& P) {
    return Apply(P, &TTransformationOf::TransformFixed);
  }
  TPoint Transform(const TPoint& P) { return Apply(P, &TTransformationOf::TransformInt); }

  // PrepareTransform unless prepared; the transformation counts as prepared until the next
  // change.
  void Prepare() {
    if (TransformValid) return;
    PrepareTransform();
    TransformValid = true;
  }

  bool TransformValid = false;

 protected:
  virtual void PrepareTransform() {}
  // Integer forms go through the fixed ones (coordinates shl 16, results rounded with
  // FixedRound), fixed forms through the float ones (x 1/65536, results back to fixed).
  virtual void ReverseTransformInt(std::int32_t DstX, std::int32_t DstY, std::int32_t& SrcX,
                                   std::int32_t& SrcY) {
    Through(&TTransformationOf::ReverseTransformFixed, DstX, DstY, SrcX, SrcY);
  }
  virtual void ReverseTransformFixed(TFixed DstX, TFixed DstY, TFixed& SrcX, TFixed& SrcY) {
    Through(&TTransformationOf::ReverseTransformFloat, DstX, DstY, SrcX, SrcY);
  }
  virtual void ReverseTransformFloat(float, float, float&, float&) {
    throw ETransformNotImplemented(Message("Reverse"));
  }
  virtual void TransformInt(std::int32_t SrcX, std::int32_t SrcY, std::int32_t& DstX,
                            std::int32_t& DstY) {
    Through(&TTransformationOf::TransformFixed, SrcX, SrcY, DstX, DstY);
  }
  virtual void TransformFixed(TFixed SrcX, TFixed SrcY, TFixed& DstX, TFixed& DstY) {
    Through(&TTransformationOf::TransformFloat, SrcX, SrcY, DstX, DstY);
  }
  virtual void TransformFloat(float, float, float&, float&) {
    throw ETransformNotImplemented(Message("Forward"));
  }

 private:
  static constexpr float FixedToFloat = 1.0f / 65536;
  static TFixed Shl16(std::int32_t X) {
    return static_cast<TFixed>(static_cast<std::uint32_t>(X) << 16);
  }
  // Ties to even, saturated (a transform may leave the 32-bit or the 16.16 range).
  static std::int32_t Round(float X) { return SaturatedRound(X); }
  static TFixed ToFixed(float X) { return SaturatedFixed(X); }

  template <class Point, class Coord>
  Point Apply(const Point& P, void (TTransformationOf::*form)(Coord, Coord, Coord&, Coord&)) {
    Prepare();
    Point r;
    (this->*form)(P.X, P.Y, r.X, r.Y);
    return r;
  }
  // Integer coordinates through a fixed form.
  void Through(void (TTransformationOf::*form)(TFixed, TFixed, TFixed&, TFixed&), std::int32_t X,
               std::int32_t Y, std::int32_t& OutX, std::int32_t& OutY) {
    TFixed x = 0, y = 0;
    (this->*form)(Shl16(X), Shl16(Y), x, y);
    OutX = FixedRound(x);
    OutY = FixedRound(y);
  }
  // Fixed coordinates through a float form; Int and Fixed are both int32, so the form's type
  // tells the two apart.
  void Through(void (TTransformationOf::*form)(float, float, float&, float&), TFixed X, TFixed Y,
               TFixed& OutX, TFixed& OutY) {
    float x = 0, y = 0;
    (this->*form)(X * FixedToFloat, Y * FixedToFloat, x, y);
    OutX = ToFixed(x);
    OutY = ToFixed(y);
  }
  std::string Message(const char* direction) const {
    return std::string(direction) + " transformation is not implemented in " +
           ui::Utf8FromWide(this->ClassName()) + ".";
  }

  TFloatRect FSrcRect;
};

}  // namespace gfx

#if __has_include("gfx/bitmap32.h")
#include "gfx/bitmap32.h"
namespace gfx {
using TTransformation = TTransformationOf<TNotifiablePersistent>;
}
#endif

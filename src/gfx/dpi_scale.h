// Display scaling. Every position and size of the programs is designed at
// 96 DPI; on a screen of another DPI it is multiplied by dpi / 96 with one
// rounding rule: to the nearest pixel, halves away from zero (as MulDiv
// rounds). Rounding halves away from zero is symmetric, so a control kept
// 5 units from its parent's right edge lies as far from it as one kept 5
// units from the left edge, at every scale.
//
// Rectangles scale by their edges (left and right, top and bottom), so
// controls that touch at 96 DPI still touch at every scale; a size alone
// scales by itself. The inverse turns device pixels back into 96-DPI units
// for storing: once a value went through it, scaling it up and down again
// gives the same numbers at every DPI from 96 upwards, so repeated saves
// never drift.
#pragma once

#include <string>
#include <string_view>

namespace velkor {

inline constexpr int kDesignDpi = 96;

// value × dpi ÷ 96; a DPI of zero or less counts as 96.
int ScaleToDpi(int value, int dpi);
// value × 96 ÷ dpi with the same rounding: device pixels back to 96-DPI units.
int ScaleFromDpi(int value, int dpi);
// The smallest 96-DPI coordinate u whose scaled value reaches `pixel`, so that
// pixel <= ScaleToDpi(e, dpi) exactly when DesignCoordinateAt(pixel, dpi) <= e:
// hit tests written against 96-DPI boundaries answer for scaled pixels with it.
int DesignCoordinateAt(int pixel, int dpi);

template <typename P>
concept HasXY = requires(P p) {
  p.x;
  p.y;
};
template <typename S>
concept HasWH = requires(S s) {
  s.w;
  s.h;
};

template <typename R>
requires HasXY<R> && HasWH<R> R ScaleRectToDpi(R r, int dpi) {
  const int right = ScaleToDpi(r.x + r.w, dpi), bottom = ScaleToDpi(r.y + r.h, dpi);
  r.x = ScaleToDpi(r.x, dpi);
  r.y = ScaleToDpi(r.y, dpi);
  r.w = right - r.x;
  r.h = bottom - r.y;
  return r;
}
template <typename S>
requires HasWH<S> &&(!HasXY<S>)S ScaleSizeToDpi(S s, int dpi) { return {ScaleToDpi(s.w, dpi), ScaleToDpi(s.h, dpi)}; }
template <typename S>
requires HasWH<S> &&(!HasXY<S>)S ScaleSizeFromDpi(S s, int dpi) {
  return {ScaleFromDpi(s.w, dpi), ScaleFromDpi(s.h, dpi)};
}
template <typename P>
requires HasXY<P> &&(!HasWH<P>)P ScalePointToDpi(P p, int dpi) { return {ScaleToDpi(p.x, dpi), ScaleToDpi(p.y, dpi)}; }

// Pictures. The generators draw every picture at 100, 150 and 200 percent;
// the 150 and 200 percent ones carry the resource name with "_150" or
// "_200" appended. A picture is always shown at its own size, never
// stretched: for a DPI the program takes the largest scale that is not
// larger than dpi / 96 (120 DPI: 100 %, centred in its 125 % place; 144 and
// 168 DPI: 150 %; 192 DPI and above: 200 %), so a picture never outgrows
// the place the scaled layout gives it and is never cut.
inline constexpr int kImageScales[] = {100, 150, 200};
int ImageScaleForDpi(int dpi);
// The DPI at which a picture of `scalePercent` is shown at its own size.
int ImageDpi(int scalePercent);
std::string ScaledImageName(std::string_view name, int scalePercent);
// Where a picture of `image` pixels starts in a place of `box` pixels, centred.
int CentredOffset(int box, int image);

}  // namespace velkor

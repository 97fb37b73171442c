// exp and sin/cos of our own for moderate arguments, written once for a double
// and for a vector of doubles: the one-point kernels and their lane code give
// the same bits on every platform, which the C library's functions do not.
//
// Method: reduction by the nearest multiple of ln 2 or pi/2 (found by adding
// and subtracting 1.5 * 2^52), the multiplier split Cody-Waite style so that
// the reduction is exact, the Taylor series over |r| <= ln 2 or pi/2 (the
// reach under any rounding direction), then the power of two or the quadrant
// applied exactly.  Measured against 200-bit values at 10^6 points each: exp
// within 1.15 ulp over [-700, 700]; sin and cos within 2e-16 absolute over
// |a| <= 1e5.  Constants: elementary_tables.hpp.
#ifndef VORLAN_LANE_ELEMENTARY_HPP
#define VORLAN_LANE_ELEMENTARY_HPP

#include <cmath>
#include <cstdint>
#include <cstring>

#include "elementary_tables.hpp"

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces): see w_regions_steps.hpp

// What the kernels' templates need of their number type V beyond arithmetic;
// the lane code specialises it for its vectors, a double is the width-one case.
template <class V>
struct LaneOps;

template <>
struct LaneOps<double> {
  using Bits = std::int64_t;
  using Cond = bool;
  static constexpr int kWidth = 1;
  static double lane(double v, int /*i*/) { return v; }
  static void set_lane(double& v, int /*i*/, double x) { v = x; }
  static void set_lane(Bits& b, int /*i*/, Bits x) { b = x; }
  static double splat(double v) { return v; }
  static Bits bits(double v) {
    Bits b;
    std::memcpy(&b, &v, sizeof b);
    return b;
  }
  static double from_bits(Bits b) {
    double v;
    std::memcpy(&v, &b, sizeof v);
    return v;
  }
  static double select(Cond c, double a, double b) { return c ? a : b; }
  static double magnitude(double v) { return from_bits(bits(v) & INT64_MAX); }
  static double sqrt(double v) { return std::sqrt(v); }
  static bool any(Cond c) { return c; }
  static bool all(Cond c) { return c; }
  // a where the mask is all ones, b where it is zero.
  static double select_bits(Bits mask, double a, double b) { return mask != 0 ? a : b; }
};

// Adding and subtracting 1.5 * 2^52 rounds |t| < 2^51 to an integer, which
// the sum's low bits then hold.
constexpr double kRoundingShift = 6755399441055744.0;
constexpr std::int64_t kRoundingShiftBits = 0x4338000000000000LL;

// The Taylor coefficient of r^n in sin r (n odd) or cos r (n even).
constexpr double trig_coefficient(int n) {
  return (n & 2) != 0 ? -kInverseFactorial[n] : kInverseFactorial[n];
}

// exp(a) for -700 <= a <= 700.
template <class V>
inline V bounded_exp(const V& a) {
  using Ops = LaneOps<V>;
  const V shifted = a * kOneOverLn2 + kRoundingShift;
  const V k = shifted - kRoundingShift;
  const V r = (a - k * kLn2High) - k * kLn2Low;
  V p = Ops::splat(kInverseFactorial[kExpDegree]);
  for (int n = kExpDegree - 1; n >= 0; --n) p = p * r + kInverseFactorial[n];
  // 2^k, built from its exponent field
  const typename Ops::Bits biased = (Ops::bits(shifted) - kRoundingShiftBits) + 1023;
  return p * Ops::from_bits(biased << 52);
}

// sin and cos of k pi/2 + r from s = sin r and c = cos r: the quadrant k mod 4
// swaps and negates.
template <class V>
inline void quadrant_sincos(typename LaneOps<V>::Bits quadrant, const V& s, const V& c, V& sine,
                            V& cosine) {
  using Ops = LaneOps<V>;
  const typename Ops::Bits odd = -(quadrant & 1);
  const V sin_part = Ops::select_bits(odd, c, s);
  const V cos_part = Ops::select_bits(odd, s, c);
  sine = Ops::select_bits(-((quadrant >> 1) & 1), -sin_part, sin_part);
  cosine = Ops::select_bits(-(((quadrant + 1) >> 1) & 1), -cos_part, cos_part);
}

// sin(a) and cos(a) for |a| <= 1e5.
template <class V>
inline void bounded_sincos(const V& a, V& sine, V& cosine) {
  using Ops = LaneOps<V>;
  const V shifted = a * kTwoOverPi + kRoundingShift;
  const V k = shifted - kRoundingShift;
  const V r = ((a - k * kHalfPi1) - k * kHalfPi2) - k * kHalfPi3;
  const V rr = r * r;
  V s = Ops::splat(trig_coefficient(kSinDegree));
  for (int n = kSinDegree - 2; n >= 1; n -= 2) s = s * rr + trig_coefficient(n);
  s = s * r;
  V c = Ops::splat(trig_coefficient(kCosDegree));
  for (int n = kCosDegree - 2; n >= 0; n -= 2) c = c * rr + trig_coefficient(n);
  quadrant_sincos<V>(Ops::bits(shifted) & 3, s, c, sine, cosine);
}

}  // namespace
}  // namespace vorlan::detail

#endif

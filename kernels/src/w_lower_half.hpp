// The full-precision w and w' below the real axis from their values at -z:
//   w(z) = 2 E - w(-z),   w'(z) = w'(-z) - 4 z E,   E = exp(-z^2).
// -z^2 = (y^2 - x^2) + 2i|x||y| sign(x) is formed exactly (two_product,
// two_sum), so that E's error does not grow with |z|^2.  The modulus is
// bounded_exp of the high part, the low part to first order; beyond |y^2 - x^2|
// = 700 exp of half the exponent, applied twice, so that 2E and 4zE are finite
// wherever they are.  The phase is reduced by k pi/2 with pi/2 in three parts,
// to about 1e-30 up to TRIG_LIMIT = pi 2^50; beyond it, unless E underflows,
// the phase has no double value and the results are NaN.
// Measured against 40-digit values at 13,000 points (|z| to 30, y = -x +
// o(1/x) up to the phase limit, the imaginary axis): E within 2.7e-16
// relative; w within 5.5e-16 of |w| + 2|E| and w' within 1.1e-15 of |w'| +
// 4|z||E|, the error at -z included; on the imaginary axis, where nothing
// cancels, both within 2.6e-16 relative up to overflow.
#ifndef VORLAN_W_LOWER_HALF_HPP
#define VORLAN_W_LOWER_HALF_HPP

#include <cmath>
#include <cstdint>
#include <limits>

#include "elementary_tables.hpp"
#include "lane_elementary.hpp"
#include "vorlan/w_regions.hpp"
#include "w_full_terms.hpp"

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces): see w_regions_steps.hpp

constexpr double kSingleExpReach = 700.0;

// E = exp(-z^2) = (re + i im) scale (or scale^2 where twice), |re + i im| ~ 1.
struct LowerHalfFactor {
  double re, im;
  double scale;
  bool twice;
  // p E / (re + i im) for a part p of a product with (re + i im).
  double scaled(double p) const { return twice ? (p * scale) * scale : p * scale; }
};

enum class LowerHalfKind { kVanishes, kNoValue, kValue };

// The phase's sine and cosine, phase = hi + lo with 0 <= hi <= TRIG_LIMIT.
inline void reduced_sincos(double hi, double lo, double& sine, double& cosine) {
  const double shifted = hi * kTwoOverPi + kRoundingShift;
  const double k = shifted - kRoundingShift;
  double parts[5];  // k pi/2, exactly
  two_product(k, kHalfPiParts[0], parts[0], parts[1]);
  two_product(k, kHalfPiParts[1], parts[2], parts[3]);
  parts[4] = k * kHalfPiParts[2];  // below 2^-58: its rounding is beyond reach
  double r;
  double r_lo;
  two_sum(hi, -parts[0], r, r_lo);
  const double rest[5] = {lo, -parts[1], -parts[2], -parts[3], -parts[4]};
  for (double term : rest) {
    const double sum = r;
    double err;
    two_sum(sum, term, r, err);  // (two_sum's outputs must not alias its inputs)
    r_lo += err;
  }
  double red;
  double red_lo;
  two_sum(r, r_lo, red, red_lo);
  double s;
  double c;
  bounded_sincos(red, s, c);
  quadrant_sincos<double>(static_cast<std::int64_t>(k) & 3, s + red_lo * c, c - red_lo * s, sine,
                          cosine);
}

// E = exp(-z^2) at z = x + iy, y < 0, |x| and |y| at most ARG_LIMIT.
inline LowerHalfKind lower_half_factor(double x, double y, LowerHalfFactor& f) {
  const double ax = std::fabs(x);
  const double ay = std::fabs(y);
  double xx;
  double xx_lo;
  double yy;
  double yy_lo;
  two_product(ax, ax, xx, xx_lo);
  two_product(ay, ay, yy, yy_lo);
  double difference;
  double difference_lo;
  two_sum(yy, -xx, difference, difference_lo);
  // The low parts' sum rounds once, by eps times the squares' last place:
  // below 3e-17 wherever E is finite and has a phase (squares below 2e15).
  double a;
  double a_lo;
  two_sum(difference, difference_lo + (yy_lo - xx_lo), a, a_lo);
  if (a < kExpUnderflowExponent) return LowerHalfKind::kVanishes;
  double xy;
  double xy_lo;
  two_product(ax, ay, xy, xy_lo);
  if (xy + xy > TRIG_LIMIT) return LowerHalfKind::kNoValue;
  double s;
  double c;
  reduced_sincos(xy + xy, xy_lo + xy_lo, s, c);
  f.re = c + c * a_lo;
  const double im = s + s * a_lo;
  f.im = x > 0.0 ? im : -im;
  f.twice = !(std::fabs(a) <= kSingleExpReach);
  // Beyond 2 * 700 the product overflows for any |re + i im| the phase gives.
  f.scale = bounded_exp(f.twice ? std::fmin(0.5 * a, kSingleExpReach) : a);
  return LowerHalfKind::kValue;
}

// w and w' at z = x + iy, y < 0, from (um, vm) = w(-z) and (dum, dvm) = w'(-z).
inline void complete_lower_half(double x, double y, double um, double vm, double dum, double dvm,
                                double& u, double& v, double& du, double& dv) {
  LowerHalfFactor f{};
  switch (lower_half_factor(x, y, f)) {
    case LowerHalfKind::kVanishes:
      u = -um;
      v = -vm;
      du = dum;
      dv = dvm;
      return;
    case LowerHalfKind::kNoValue:
      u = std::numeric_limits<double>::quiet_NaN();
      v = u;
      du = u;
      dv = u;
      return;
    case LowerHalfKind::kValue: break;
  }
  u = f.scaled(2.0 * f.re) - um;
  // On the imaginary axis w is real and w' imaginary; w's zero imaginary part
  // is -0 below the real axis, as W_REFLECT explains.
  v = x == 0.0 ? -0.0 : f.scaled(2.0 * f.im) - vm;
  du = x == 0.0 ? 0.0 : f.scaled(-4.0 * (x * f.re - y * f.im)) + dum;
  dv = f.scaled(-4.0 * (x * f.im + y * f.re)) + dvm;
}

}  // namespace
}  // namespace vorlan::detail

#endif

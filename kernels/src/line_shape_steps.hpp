// The Voigt profile's steps around w (method in line_shapes.cpp), generic in
// the number type so that the lane code runs the same operations.
#ifndef VORLAN_LINE_SHAPE_STEPS_HPP
#define VORLAN_LINE_SHAPE_STEPS_HPP

#include <cmath>
#include <limits>

#include "exact_arithmetic.hpp"
#include "lane_elementary.hpp"
#include "line_shape_pieces.hpp"
#include "special_values.hpp"
#include "vorlan/w_regions.hpp"
#include "w_full_terms.hpp"

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces): see w_regions_steps.hpp

constexpr double kOneOverPi = 0.3183098861837907;
constexpr double kOneOverSqrtTwoPi = 0.3989422804014327;
constexpr double kOneOverTwoSqrtPi = 0.28209479177387814;
// 1/sqrt(2) as a double and the remainder of its true value.
constexpr double kRootHalf = 0.7071067811865476;
constexpr double kRootHalfRest = -4.833646656726457e-17;
// The argument's real part is split only where the Gaussian can matter and
// the exact products cannot overflow or underflow.
constexpr double kSplitBelow = 1e6;
constexpr double kSplitAbove = 1e-280;
constexpr double kSplitWidthMin = 1e-280;
constexpr double kSplitWidthMax = 1e280;
// Beyond this |Re z| or Im z the Voigt profile is the Lorentzian.
constexpr double kLorentzianFrom = 1e8;

// f a, with a zero factor f giving 0 even where a has overflowed.
inline double times(double f, double a) { return f == 0.0 ? 0.0 : f * a; }

// The Lorentzian and its derivatives (sigma = 0).  u, the smaller of |x| and g
// over the larger, keeps squares from overflowing; `times` keeps 0 factors 0.
inline void lorentzian(double ax, double g, VoigtValues& r) {
  r.d_sigma = 0.0;
  if (g == 0.0 && ax == 0.0) {
    r.value = kInf;
    r.d_x = 0.0;
    r.d_gamma = -kInf;
    return;
  }
  // V = 1 / (pi g (1 + u^2)), u = x / g, or u / (pi x (1 + u^2)), u = g / x
  const bool x_smaller = ax <= g;
  const double m = x_smaller ? g : ax;
  const double u = (x_smaller ? ax : g) / m;
  const double s = 1.0 + u * u;
  const double head = kOneOverPi / (m * s);
  r.value = x_smaller ? head : times(u, head);
  r.d_x = times(-2.0 * u, head) / (m * s);
  r.d_gamma = times(x_smaller ? (u - 1.0) * (u + 1.0) : (1.0 - u) * (1.0 + u), head) / (m * s);
}

// t / (sigma sqrt 2) as hi + lo, for t >= 0 and sigma > 0; lo is left 0 where
// it cannot matter or the exact products could overflow or underflow.
template <class V>
inline void scaled_by_width(const V& t, const V& sigma, V& hi, V& lo) {
  using Ops = LaneOps<V>;
  const V a = t / sigma;
  hi = a * kRootHalf;
  V p;
  V e;
  detail::two_product(a, sigma, p, e);
  const V a_lo = ((t - p) - e) / sigma;
  detail::two_product(a, Ops::splat(kRootHalf), p, e);
  const V split = e + (a * kRootHalfRest + a_lo * kRootHalf);
  const V zero = Ops::splat(0.0);
  lo = Ops::select(a < kSplitBelow, split, zero);
  lo = Ops::select(a > kSplitAbove, lo, zero);
  lo = Ops::select(sigma > kSplitWidthMin, lo, zero);
  lo = Ops::select(sigma < kSplitWidthMax, lo, zero);
}

// z = (|x| + i gamma) / (sigma sqrt 2), each part as hi + lo.
template <class V>
struct VoigtArgumentOf {
  V zr, zr_lo, zi, zi_lo;
};
using VoigtArgument = VoigtArgumentOf<double>;

// Where the lane code takes a point whole: arguments finite, widths within the
// exact products' range, |z| < 1e7.  Elsewhere voigt_prepare decides.
inline bool voigt_ordinary(double x, double sigma, double gamma) {
  const double ax = std::fabs(x);
  return sigma > kSplitWidthMin && sigma < kSplitWidthMax && gamma >= 0.0 && ax <= 1e7 * sigma &&
         gamma <= 1e7 * sigma;
}

// The values wherever w is not needed (invalid or infinite arguments, sigma =
// 0), with false; else true and the argument of w.
inline bool voigt_prepare(double x, double sigma, double gamma, VoigtValues& r, VoigtArgument& z) {
  if (std::isnan(x) || std::isnan(sigma) || std::isnan(gamma) || sigma < 0.0 || gamma < 0.0) {
    r = {kNaN, kNaN, kNaN, kNaN};
    return false;
  }
  const double ax = std::fabs(x);
  if (std::isinf(ax) || std::isinf(sigma) || std::isinf(gamma)) {
    r = {0.0, 0.0, 0.0, 0.0};
  } else if (sigma == 0.0) {
    lorentzian(ax, gamma, r);
  } else {
    scaled_by_width(ax, sigma, z.zr, z.zr_lo);
    scaled_by_width(gamma, sigma, z.zi, z.zi_lo);
    if (!(z.zr > kLorentzianFrom) && !(z.zi > kLorentzianFrom)) {
      return true;
    }
    // |z| > 1e8: w(z) = i / (sqrt(pi) z) (1 + 1/(2 z^2) + ...) makes V the
    // Lorentzian to double precision, with dV/dsigma = sigma L''(x); also
    // where z overflows (sigma vanishingly small beside x or gamma).
    lorentzian(ax, gamma, r);
    const double m = ax > gamma ? ax : gamma;
    const double u = ax / m;
    const double v = gamma / m;
    const double s = u * u + v * v;
    const double head = 2.0 * kOneOverPi * v * (3.0 * (u * u) - v * v) / (s * s * s);
    r.d_sigma = times(sigma / m, head) / m / m;
  }
  if (x < 0.0) {
    r.d_x = -r.d_x;
  }
  return false;
}

// The values from w_full_quadrant's terms t at z; with `derivatives` false
// only r.value, with the same bits.
template <class V>
inline void voigt_complete(const V& x, const V& sigma, bool derivatives,
                           const VoigtArgumentOf<V>& z, FullTermsOf<V> t, VoigtValuesOf<V>& r) {
  using Ops = LaneOps<V>;
  if (!derivatives) {
    t.wr += z.zr_lo * t.dr - z.zi_lo * t.di;
  } else {
    // The rest of z to first order: w'' = -2 (z w)', (z w)'' = 2 w' + z w''.
    // Where there is no rest nothing is added (a zero could change a zero's sign).
    const typename Ops::Cond rest = (z.zr_lo != 0.0) | (z.zi_lo != 0.0);
    const V w2r = -2.0 * t.gr;
    const V w2i = -2.0 * t.gi;
    const V g2r = 2.0 * t.dr + (z.zr * w2r - z.zi * w2i);
    const V g2i = 2.0 * t.di + (z.zr * w2i + z.zi * w2r);
    t.wr = Ops::select(rest, t.wr + (z.zr_lo * t.dr - z.zi_lo * t.di), t.wr);
    t.wi = Ops::select(rest, t.wi + (z.zr_lo * t.di + z.zi_lo * t.dr), t.wi);
    t.dr = Ops::select(rest, t.dr + (z.zr_lo * w2r - z.zi_lo * w2i), t.dr);
    t.di = Ops::select(rest, t.di + (z.zr_lo * w2i + z.zi_lo * w2r), t.di);
    t.gr = Ops::select(rest, t.gr + (z.zr_lo * g2r - z.zi_lo * g2i), t.gr);
    t.gi = Ops::select(rest, t.gi + (z.zr_lo * g2i + z.zi_lo * g2r), t.gi);
  }
  r.value = t.wr * kOneOverSqrtTwoPi / sigma;
  const V d_x = t.dr * kOneOverTwoSqrtPi / sigma / sigma;
  r.d_x = Ops::select(x < 0.0, -d_x, d_x);
  r.d_gamma = -t.di * kOneOverTwoSqrtPi / sigma / sigma;
  r.d_sigma = -t.gr * kOneOverSqrtTwoPi / sigma / sigma;
}

// One point; with `derivatives` false only r.value, with the same bits.
inline void voigt_point(double x, double sigma, double gamma, bool derivatives, VoigtValues& r) {
  VoigtArgument z{};
  if (!voigt_prepare(x, sigma, gamma, r, z)) {
    return;
  }
  FullTerms t{};
  w_full_quadrant(z.zr, z.zi, derivatives, t);
  voigt_complete(x, sigma, derivatives, z, t, r);
}

}  // namespace
}  // namespace vorlan::detail

#endif

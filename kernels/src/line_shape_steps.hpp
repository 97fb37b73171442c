// The Voigt profile's steps around w (see line_shapes.cpp for the method),
// apart from its block routine so that vector-lane code can share them and
// give the same bits.  Internal linkage, as w_full_steps.hpp explains.
#ifndef VORLAN_LINE_SHAPE_STEPS_HPP
#define VORLAN_LINE_SHAPE_STEPS_HPP

#include <cmath>
#include <limits>

#include "vorlan/w_regions.hpp"
#include "w_full.hpp"

namespace vorlan::detail {
namespace {  // NOLINT(cert-dcl59-cpp,google-build-namespaces): see w_full_steps.hpp

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kOneOverPi = 0.3183098861837907;
constexpr double kOneOverSqrtTwoPi = 0.3989422804014327;
constexpr double kOneOverTwoSqrtPi = 0.28209479177387814;
// 1/sqrt(2) as a double and the remainder of its true value.
constexpr double kRootHalf = 0.7071067811865476;
constexpr double kRootHalfRest = -4.833646656726463e-17;
// The argument's real part is split only where the Gaussian can matter and
// the exact products cannot overflow or underflow.
constexpr double kSplitBelow = 1e6;
constexpr double kSplitAbove = 1e-280;
constexpr double kSplitWidthMin = 1e-280;
constexpr double kSplitWidthMax = 1e280;
// Beyond this |Re z| or Im z the Voigt profile is the Lorentzian.
constexpr double kLorentzianFrom = 1e8;

struct VoigtValues {
  double value, d_x, d_sigma, d_gamma;
};

inline void set_all(VoigtValues& r, double v) {
  r.value = v;
  r.d_x = v;
  r.d_sigma = v;
  r.d_gamma = v;
}

// f a, with a zero factor f giving 0 even where a has overflowed.
inline double times(double f, double a) { return f == 0.0 ? 0.0 : f * a; }

// The Lorentzian and its derivatives; sigma = 0.  With u the smaller of |x|
// and g over the larger, nothing is squared that could overflow; factors that
// vanish keep their products 0 where the widths are so small that the other
// factor overflows.
inline void lorentzian(double ax, double g, VoigtValues& r) {
  r.d_sigma = 0.0;
  if (g == 0.0 && ax == 0.0) {
    r.value = kInf;
    r.d_x = 0.0;
    r.d_gamma = -kInf;
    return;
  }
  if (ax <= g) {
    // V = 1 / (pi g (1 + u^2)), u = x / g
    const double u = ax / g;
    const double s = 1.0 + u * u;
    const double head = kOneOverPi / (g * s);
    r.value = head;
    r.d_x = times(-2.0 * u, head) / (g * s);
    r.d_gamma = times((u - 1.0) * (u + 1.0), head) / (g * s);
  } else {
    // V = u / (pi x (1 + u^2)), u = g / x
    const double u = g / ax;
    const double s = 1.0 + u * u;
    const double head = kOneOverPi / (ax * s);
    r.value = times(u, head);
    r.d_x = times(-2.0 * u, head) / (ax * s);
    r.d_gamma = times((1.0 - u) * (1.0 + u), head) / (ax * s);
  }
}

// t / (sigma sqrt 2) as hi + lo, for t >= 0 and sigma > 0; lo is left 0 where
// it cannot matter or the exact products could overflow or underflow.
inline void scaled_by_width(double t, double sigma, double& hi, double& lo) {
  const double a = t / sigma;
  hi = a * kRootHalf;
  lo = 0.0;
  if (!(a < kSplitBelow) || !(a > kSplitAbove) || !(sigma > kSplitWidthMin) ||
      !(sigma < kSplitWidthMax)) {
    return;
  }
  double p;
  double e;
  detail::two_product(a, sigma, p, e);
  const double a_lo = ((t - p) - e) / sigma;
  detail::two_product(a, kRootHalf, p, e);
  lo = e + (a * kRootHalfRest + a_lo * kRootHalf);
}

// z = (|x| + i gamma) / (sigma sqrt 2), each part as hi + lo.
struct VoigtArgument {
  double zr, zr_lo, zi, zi_lo;
};

// The values wherever w is not needed (invalid or infinite arguments, sigma =
// 0), with false; else true and the argument of w.
inline bool voigt_prepare(double x, double sigma, double gamma, VoigtValues& r, VoigtArgument& z) {
  if (std::isnan(x) || std::isnan(sigma) || std::isnan(gamma) || sigma < 0.0 || gamma < 0.0) {
    set_all(r, kNaN);
    return false;
  }
  const double ax = std::fabs(x);
  if (std::isinf(ax) || std::isinf(sigma) || std::isinf(gamma)) {
    set_all(r, 0.0);
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
// only r.value, with the same bits either way.
inline void voigt_complete(double x, double sigma, bool derivatives, const VoigtArgument& z,
                           FullTerms t, VoigtValues& r) {
  if (!derivatives) {
    t.wr += z.zr_lo * t.dr - z.zi_lo * t.di;
  } else if (z.zr_lo != 0.0 || z.zi_lo != 0.0) {
    // The rest of z, to first order: w'' = -2 (z w)', (z w)'' = 2 w' + z w''.
    // Near the profile's sign changes and in the Gaussian core the rounding
    // of z would otherwise show.
    const double w2r = -2.0 * t.gr;
    const double w2i = -2.0 * t.gi;
    const double g2r = 2.0 * t.dr + (z.zr * w2r - z.zi * w2i);
    const double g2i = 2.0 * t.di + (z.zr * w2i + z.zi * w2r);
    t.wr += z.zr_lo * t.dr - z.zi_lo * t.di;
    t.wi += z.zr_lo * t.di + z.zi_lo * t.dr;
    t.dr += z.zr_lo * w2r - z.zi_lo * w2i;
    t.di += z.zr_lo * w2i + z.zi_lo * w2r;
    t.gr += z.zr_lo * g2r - z.zi_lo * g2i;
    t.gi += z.zr_lo * g2i + z.zi_lo * g2r;
  }
  r.value = t.wr * kOneOverSqrtTwoPi / sigma;
  r.d_x = t.dr * kOneOverTwoSqrtPi / sigma / sigma;
  r.d_gamma = -t.di * kOneOverTwoSqrtPi / sigma / sigma;
  r.d_sigma = -t.gr * kOneOverSqrtTwoPi / sigma / sigma;
  if (x < 0.0) {
    r.d_x = -r.d_x;
  }
}

}  // namespace
}  // namespace vorlan::detail

#endif
